// The stack cookie that -fstack-protector-strong checks in every function with a local array or
// a local whose address is taken, and what happens when one is overwritten. GCC's libssp would
// provide both, but seeds the cookie through CryptoAPI, which loads a cryptographic provider at
// every start; the C runtime's rand_s draws from the system's generator without one.
// NOLINTBEGIN(bugprone-reserved-identifier): the names MinGW's header and GCC's code ask for.
#define _CRT_RAND_S
#include <windows.h>

#include <cstdint>
#include <cstdlib>

extern "C" {

// Until seeded, or if seeding fails: a fixed value, by which tools/check-exe.sh knows that the
// program checks cookies at all (only a checked cookie links this file in).
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x2DF9E3A1B8C6475DULL);

// Ends the process at once, as Windows' own programs do when a cookie is overwritten: nothing
// the overflow wrote gets to run, and no handler can catch it.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

// Before any other constructor; not checked itself, as it changes the cookie it was entered with.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    unsigned int high = 0;
    unsigned int low = 0;
    if (rand_s(&high) == 0 && rand_s(&low) == 0)
        __stack_chk_guard = static_cast<std::uintptr_t>(std::uint64_t{high} << 32 | low);
}

} // namespace
