#pragma once

#include <string>

// What the program knows about itself: its executable's name without extension (the
// application name) and the folder that holds it (without a trailing backslash).
namespace App {
std::wstring Title();
std::wstring Path();
} // namespace App
