#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/unique_handle.h"

// Text files as the program reads them: whether one is there, and its lines.

// True when an ordinary file has this path: hidden and system files and folders do not count.
bool OrdinaryFileExists(const std::wstring& path);

// Sequential input of a text file in a given code page, one line at a time. A line
// ends at CR or CR LF; a lone LF is part of the line; the last line needs no terminator. The
// file is read and converted a piece at a time, so that however it is cut into lines it is held
// only once: by the caller, as its lines.
class TextFile {
  public:
    // Bytes read from the file at a time.
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 18;

    // A file of codePage text (CP_ACP: the system's ANSI code page).
    explicit TextFile(UINT codePage) : codePage_(codePage) {}

    // Opens the file for reading; false when it cannot be opened (missing, a folder, locked).
    bool Open(const std::wstring& path);
    void Close();
    // The file's size in bytes when open: also a bound on the UTF-16 units its lines hold.
    std::uint64_t Size() const { return size_; }

    // True when no line is left, or when reading failed (then Failed() says so).
    bool Eof();
    // Appends the next line, without its terminator, to line; nothing at the end.
    void LineInput(std::wstring& line);
    // True once a read from the open file has failed.
    bool Failed() const { return failed_; }

  private:
    bool ConvertMore();

    UINT codePage_;
    UniqueFile file_;
    std::uint64_t size_ = 0;
    std::string bytes_; // read but not converted: the start of a line that goes on
    // Converted text: whole lines, each ending in CR, then perhaps the start of a line that goes
    // on in the next piece (or the file's last line).
    std::wstring text_;
    std::vector<std::size_t> crs_; // where the CRs are in text_
    std::size_t line_ = 0;         // the next line ends at crs_[line_], or at the end of text_
    std::size_t pos_ = 0;          // and starts here
    bool skipLf_ = false; // the line before ended in CR: a LF that comes next belongs to it
    bool endOfFile_ = false;
    bool failed_ = false;
};
