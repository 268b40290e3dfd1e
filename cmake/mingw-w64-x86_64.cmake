# Cross build for 64-bit Windows with MinGW-w64; tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUELM_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests run through Wine: Debian's launcher where 32-bit programs run too, its 64-bit loader
# alone where they do not. Looked up at every configure.
unset(QUELM_WINE CACHE)
if(QUELM_WINE32)
  find_program(QUELM_WINE NAMES wine wine64 REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_WINE})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_TOOLS_DIR}/wine64/wine)
endif()
