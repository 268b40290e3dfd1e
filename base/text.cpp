#include <windows.h>

#include "base/text.h"

std::string ToAnsi(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

void FromAnsi(std::string_view bytes, std::wstring& out) {
    // A byte of an ANSI code page gives at most one UTF-16 unit, so the byte count bounds the
    // result: convert in one pass instead of asking for the size first (which costs as much as
    // the conversion itself).
    out.resize(bytes.size());
    const int n = bytes.empty()
                      ? 0
                      : MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                            out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n));
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring out;
    FromAnsi(bytes, out);
    return out;
}

std::wstring FromAnsiBuffer(std::string_view buffer) {
    std::wstring text = FromAnsi(buffer);
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}
