# Cross build for 32-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUELM_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests run through Wine's 32-bit loader where the machine runs 32-bit programs; elsewhere each
# one fails at once and says why. Looked up at every configure.
unset(QUELM_WINE CACHE)
if(QUELM_WINE32)
  find_program(QUELM_WINE NAMES wine REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_WINE})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELM_TOOLS_DIR}/no-wine32)
endif()
