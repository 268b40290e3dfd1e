// Reading text files line by line, in a code page of their own.

#include <windows.h>

#include "ui/runtime/text_file.h"

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace {

// True when bytes end in a lead byte that waits for its trail byte. A byte that cannot lead ends
// a character (it is one, or a trail byte), so the lead bytes after it pair up.
bool EndsInLeadByte(UINT codePage, std::string_view bytes) {
    std::size_t leads = 0;
    while (leads < bytes.size() &&
           IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[bytes.size() - 1 - leads])))
        ++leads;
    return leads % 2 == 1;
}

// Converts bytes into text and finds its CRs. CR is never the trail byte of a Shift-JIS (or
// other double-byte) character, but after a lead byte (invalid text) MultiByteToWideChar
// takes it as one, on Wine at least, and so joins two lines: then the text before each such CR
// is converted on its own.
void ConvertLines(UINT codePage, std::string_view bytes, std::wstring& text,
                  std::vector<std::size_t>& crs) {
    const auto findCrs = [&] {
        for (std::size_t cr = text.find(L'\r'); cr != std::wstring::npos;
             cr = text.find(L'\r', cr + 1))
            crs.push_back(cr);
        return crs.size() == static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    };
    AppendFromCodePage(codePage, bytes, text);
    if (findCrs())
        return;
    text.clear();
    crs.clear();
    std::size_t start = 0;
    for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos;
         cr = bytes.find('\r', cr + 1)) {
        if (EndsInLeadByte(codePage, bytes.substr(start, cr - start))) {
            AppendFromCodePage(codePage, bytes.substr(start, cr - start), text);
            start = cr;
        }
    }
    AppendFromCodePage(codePage, bytes.substr(start), text);
    findCrs();
}

} // namespace

bool OrdinaryFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool TextFile::Open(const std::wstring& path) {
    Close();
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size)) {
        Close();
        return false;
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

void TextFile::Close() {
    file_.reset();
    size_ = 0;
    bytes_ = {};
    text_ = {};
    crs_ = {};
    line_ = 0;
    pos_ = 0;
    skipLf_ = false;
    endOfFile_ = false;
    failed_ = false;
}

bool TextFile::Eof() {
    for (;;) {
        if (skipLf_ && pos_ < text_.size()) {
            if (text_[pos_] == L'\n')
                ++pos_;
            skipLf_ = false;
        }
        if (pos_ < text_.size())
            return false;
        if (!ConvertMore())
            return true;
    }
}

void TextFile::LineInput(std::wstring& line) {
    if (Eof())
        return;
    for (;;) {
        const std::wstring_view text(text_);
        if (line_ < crs_.size()) {
            line += text.substr(pos_, crs_[line_] - pos_);
            pos_ = crs_[line_++] + 1;
            skipLf_ = true;
            return;
        }
        line += text.substr(pos_);
        pos_ = text.size();
        if (!ConvertMore())
            return;
    }
}

// Reads the next piece of the file and converts it: up to its last CR, or, when it holds none,
// up to its last whole character (all of it at the end of the file). False when nothing is
// left or reading failed.
bool TextFile::ConvertMore() {
    text_.clear();
    crs_.clear();
    line_ = 0;
    pos_ = 0;
    if (file_ && !endOfFile_) {
        const std::size_t kept = bytes_.size();
        bytes_.resize(kept + kChunkBytes);
        DWORD got = 0;
        if (!ReadFile(file_.get(), bytes_.data() + kept, static_cast<DWORD>(kChunkBytes), &got,
                      nullptr)) {
            failed_ = true;
            endOfFile_ = true;
            bytes_.clear();
            return false;
        }
        bytes_.resize(kept + got);
        endOfFile_ = got == 0;
    }
    if (bytes_.empty())
        return false;
    std::size_t end = bytes_.rfind('\r') + 1; // 0 when there is no CR
    if (end == 0)
        end = bytes_.size() - (!endOfFile_ && EndsInLeadByte(codePage_, bytes_) ? 1 : 0);
    ConvertLines(codePage_, std::string_view(bytes_).substr(0, end), text_, crs_);
    bytes_.erase(0, end);
    return true;
}
