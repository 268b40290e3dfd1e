// GCC's libssp would provide the stack cookie and its failure, but seeds the cookie through
// CryptoAPI, which loads a cryptographic provider at every start; the C runtime's rand_s draws
// from the system's generator without one.
#define _CRT_RAND_S // NOLINT(bugprone-reserved-identifier): MinGW's switch for rand_s
#include <windows.h>

#include <cstdlib>

#include "base/stack_guard.h"

std::uintptr_t __stack_chk_guard = kUnseededStackGuard;

// Ends the process at once, as Windows' own programs do when a cookie is overwritten: nothing
// the overflow wrote gets to run, and no handler can catch it.
void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}

namespace {

// Before any other constructor; not checked itself, as it changes the cookie it was entered with.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    unsigned int high = 0;
    unsigned int low = 0;
    if (rand_s(&high) == 0 && rand_s(&low) == 0)
        __stack_chk_guard = static_cast<std::uintptr_t>(std::uint64_t{high} << 32 | low);
}

} // namespace
