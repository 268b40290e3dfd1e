#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The one place where text crosses between UTF-16 (used everywhere inside the program) and the
// system's ANSI code page (932 on Japanese Windows), which the registry's A functions and the
// tips file use.

// The text in the ANSI code page, or nothing when it has no exact equivalent there: a character
// the code page lacks (best-fit mapping would turn é into e, ¥ into a backslash) or a NUL, which
// would cut the text short.
std::optional<std::string> ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
// Text of a code page of its own (the tips file is Shift-JIS whatever the system's is), appended
// to out: for large text converted a piece at a time into one buffer.
void AppendFromCodePage(UINT codePage, std::string_view bytes, std::wstring& out);

// As FromAnsi, cut at the first NUL: text that the platform wrote into a fixed buffer.
std::wstring FromAnsiBuffer(std::string_view buffer);
