# A test build for 64-bit Windows with Debian's clang-16 against the MinGW-w64 headers and
# runtime and the libstdc++ of the GCC build: the GCC builds ship, this one looks for undefined
# behaviour (a check traps: the test dies of an illegal instruction, 0xC000001D) and for misuse
# of the standard library (libstdc++'s assertions). Tests run through Wine like the GCC build's.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_C_COMPILER_TARGET ${QUELM_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QUELM_TRIPLE})
# The GCC build's binutils, as Clang's driver links with them: not whichever LLVM tools are on
# the machine (tools/check-exe.sh reads GNU objdump's output).
set(CMAKE_AR ${QUELM_TRIPLE}-ar)
set(CMAKE_RANLIB ${QUELM_TRIPLE}-ranlib)
set(CMAKE_OBJDUMP ${QUELM_TRIPLE}-objdump)

# Clang's driver does not find Debian's GCC folder: it is named after the thread model.
set(quelm_gcc_dir /usr/lib/gcc/${QUELM_TRIPLE}/12-posix)
set(quelm_checks "-fsanitize=undefined -fsanitize-trap=undefined -D_GLIBCXX_ASSERTIONS")
set(CMAKE_C_FLAGS_INIT "${quelm_checks}")
set(CMAKE_CXX_FLAGS_INIT "${quelm_checks} -isystem ${quelm_gcc_dir}/include/c++ -isystem ${quelm_gcc_dir}/include/c++/${QUELM_TRIPLE} -isystem ${quelm_gcc_dir}/include/c++/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${quelm_gcc_dir}")
# The posix-thread libstdc++ and libgcc_eh need winpthreads, which Clang's driver does not link;
# libssp needs msvcrt's functions by their old names; and the static libraries need each other:
# one group resolves them in any order.
set(CMAKE_CXX_STANDARD_LIBRARIES
    "-Wl,--start-group -lmingw32 -lstdc++ -lgcc -lgcc_eh -lpthread -lssp -lmingwex -lmoldname -lmsvcrt -lkernel32 -Wl,--end-group")
