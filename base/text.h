#pragma once

#include <string>
#include <string_view>

// The one place where text crosses between UTF-16 (used everywhere inside the program) and the
// system's ANSI code page (932 on Japanese Windows), which the registry's A functions and the
// tips file use. Characters the code page cannot hold become its default character.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
// The same into out, reusing its buffer: for large text converted a piece at a time.
void FromAnsi(std::string_view bytes, std::wstring& out);

// As FromAnsi, cut at the first NUL: text that the platform wrote into a fixed buffer.
std::wstring FromAnsiBuffer(std::string_view buffer);
