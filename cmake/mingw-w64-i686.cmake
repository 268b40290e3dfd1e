# Cross build for 32-bit Windows with MinGW-w64; tests run through 32-bit Wine (wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUELM_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Looked up at every configure: on a machine that runs no 32-bit programs the scripts put
# launchers for the 64-bit loader first on PATH (tools/wine-env.sh).
unset(QUELM_WINE CACHE)
find_program(QUELM_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_WINE})
