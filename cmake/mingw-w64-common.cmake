set(CMAKE_C_COMPILER ${QUELM_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELM_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELM_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUELM_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Whether this machine runs 32-bit programs: QUELM_WINE32 as the scripts pass it on, or else a
# try of Wine's 32-bit loader, as they make it (tools/wine-env.sh). Where none run, Debian's
# wine launcher fails for every program once wine32 is installed.
if(DEFINED ENV{QUELM_WINE32})
  set(QUELM_WINE32 $ENV{QUELM_WINE32})
else()
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE quelm_wine32_status
                  OUTPUT_QUIET ERROR_QUIET)
  if(quelm_wine32_status STREQUAL "0")
    set(QUELM_WINE32 1)
  else()
    set(QUELM_WINE32 0)
  endif()
endif()
get_filename_component(QUELM_TOOLS_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools ABSOLUTE)
