#include <windows.h>

#include "ui/runtime/text_file.h"

#include <algorithm>
#include <utility>

#include "base/text.h"

namespace {

void FindCrs(std::wstring_view text, std::vector<std::size_t>& crs) {
    crs.clear();
    for (std::size_t cr = text.find(L'\r'); cr != std::wstring_view::npos;
         cr = text.find(L'\r', cr + 1))
        crs.push_back(cr);
}

// CR is never the trail byte of a Shift-JIS (or other ANSI double-byte) character, so text cut
// just after a CR converts as the lines it holds. But a lead byte right before a CR (invalid
// text) makes MultiByteToWideChar take the CR as its trail byte, on Wine at least, and so join
// two lines: convert such text a line at a time, as line input reads it.
void ConvertLines(std::string_view bytes, std::wstring& text, std::vector<std::size_t>& crs) {
    FromAnsi(bytes, text);
    FindCrs(text, crs);
    if (crs.size() == static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r')))
        return;
    text.clear();
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            text += FromAnsi(bytes.substr(start));
            break;
        }
        text += FromAnsi(bytes.substr(start, cr - start));
        text += L'\r';
        start = cr + 1;
    }
    FindCrs(text, crs);
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

std::wstring_view TextFile::LineInput() {
    if (Eof())
        return {};
    const std::wstring_view text(text_);
    if (line_ == crs_.size()) { // the file's last line, without terminator
        const std::size_t begin = std::exchange(pos_, text.size());
        return text.substr(begin);
    }
    const std::size_t begin = std::exchange(pos_, crs_[line_] + 1);
    skipLf_ = true;
    return text.substr(begin, crs_[line_++] - begin);
}

// Reads on to the last CR of what comes next (or to the end of the file) and converts that
// text; false when nothing is left or reading failed.
bool TextFile::ConvertMore() {
    text_.clear();
    crs_.clear();
    line_ = 0;
    pos_ = 0;
    while (file_ && !endOfFile_) {
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
        if (got == 0) {
            endOfFile_ = true;
            break;
        }
        // What was kept holds no CR: look in the new bytes only.
        const std::size_t cr = std::string_view(bytes_).substr(kept).rfind('\r');
        if (cr != std::string_view::npos) {
            ConvertLines(std::string_view(bytes_).substr(0, kept + cr + 1), text_, crs_);
            bytes_.erase(0, kept + cr + 1);
            return true;
        }
    }
    if (bytes_.empty())
        return false;
    ConvertLines(bytes_, text_, crs_);
    bytes_.clear();
    return true;
}
