#pragma once

#include <cstdint>

// The stack cookie that -fstack-protector-strong checks, drawn at start (base/stack_guard.cpp),
// and the function those checks call when it was overwritten: it ends the process.
// NOLINTBEGIN(bugprone-reserved-identifier): the names GCC's code uses.
extern "C" std::uintptr_t __stack_chk_guard;
extern "C" [[noreturn]] void __stack_chk_fail();
// NOLINTEND(bugprone-reserved-identifier)

// The cookie until it is drawn, or if drawing fails, by which tools/check-exe.sh knows that the
// program checks cookies at all (only a checked cookie links base/stack_guard.cpp in).
constexpr auto kUnseededStackGuard = static_cast<std::uintptr_t>(0x2DF9E3A1B8C6475DULL);
