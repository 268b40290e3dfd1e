// Breaks every hardening rule of tools/check-exe.sh, with the flags tests/CMakeLists.txt gives
// it: a writable section shared between processes, and one that is also executable.
asm(".section .shared,\"ws\"\n.long 1\n.section .wx,\"wx\"\n.long 1\n.text");

int main() {}
