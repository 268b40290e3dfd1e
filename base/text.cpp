#include <windows.h>

#include "base/text.h"

std::optional<std::string> ToAnsi(std::wstring_view text) {
    if (text.find(L'\0') != std::wstring_view::npos)
        return std::nullopt;
    if (text.empty())
        return std::string();
    // A UTF-8 code page (Windows' "Unicode UTF-8" language option) holds every character; it
    // takes neither the flag nor the default-character report, and refuses a lone surrogate.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int size = static_cast<int>(text.size());
    BOOL inexact = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr,
                                      utf8 ? nullptr : &inexact);
    if (n == 0 || inexact)
        return std::nullopt;
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

void AppendFromCodePage(UINT codePage, std::string_view bytes, std::wstring& out) {
    // A byte of an ANSI code page (UTF-8 too) gives at most one UTF-16 unit, so the byte count
    // bounds the result: convert in one pass instead of asking for the size first (which costs
    // as much as the conversion itself).
    const std::size_t size = out.size();
    out.resize(size + bytes.size());
    const int n =
        bytes.empty()
            ? 0
            : MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  out.data() + size, static_cast<int>(bytes.size()));
    out.resize(size + static_cast<std::size_t>(n));
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring out;
    AppendFromCodePage(CP_ACP, bytes, out);
    return out;
}

std::wstring FromAnsiBuffer(std::string_view buffer) {
    std::wstring text = FromAnsi(buffer);
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}
