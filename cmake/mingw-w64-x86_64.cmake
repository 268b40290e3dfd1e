# Cross build for 64-bit Windows with MinGW-w64; tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUELM_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Looked up at every configure: on a machine that runs no 32-bit programs the scripts put
# launchers for the 64-bit loader first on PATH (tools/wine-env.sh).
unset(QUELM_WINE CACHE)
find_program(QUELM_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_WINE})
