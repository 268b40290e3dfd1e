# The release package: a zip with QUELM.exe, the tips file and the Japanese readme at its root,
# named QUELM-<version>-win64.zip or QUELM-<version>-win32.zip after the target architecture.
# The package_zip target and `cpack` make it; `cmake --install <build> --prefix <dir>` lays out
# the same files.

# Only the files a user needs: the googletest subproject brings install rules of its own.
set(QUELM_PACKAGE_COMPONENT quelm)
install(TARGETS QUELM RUNTIME DESTINATION . COMPONENT ${QUELM_PACKAGE_COMPONENT})
install(FILES ${CMAKE_SOURCE_DIR}/app/TIPOFDAY.TXT ${CMAKE_SOURCE_DIR}/app/README.txt
        DESTINATION . COMPONENT ${QUELM_PACKAGE_COMPONENT})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUELM_PACKAGE_ARCH win64)
else()
  set(QUELM_PACKAGE_ARCH win32)
endif()

set(CPACK_PACKAGE_NAME QUELM)
set(CPACK_PACKAGE_VENDOR QUELM)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME QUELM-${PROJECT_VERSION}-${QUELM_PACKAGE_ARCH})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shows and changes five Internet zone security settings")
# `cpack` makes the release zip as the package_zip target does, byte for byte: CPack installs our
# component into its staging folder and cmake/cpack-zip.cmake zips what it finds there. (CPack
# leaves its own description of the package beside the zip, QUELM-<version>-<arch>.json.)
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/cpack-zip.cmake)
set(CPACK_COMPONENTS_ALL ${QUELM_PACKAGE_COMPONENT}) # its folder in the staging folder
set(CPACK_QUELM_EPOCH ${QUELM_SOURCE_DATE_EPOCH})
set(CPACK_QUELM_SOURCE_DIR ${CMAKE_SOURCE_DIR})
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_QUELM_PYTHON ${Python3_EXECUTABLE})
include(CPack)

set(QUELM_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/QUELM-${PROJECT_VERSION}-${QUELM_PACKAGE_ARCH}.zip)
add_custom_command(OUTPUT ${QUELM_PACKAGE_ZIP} ${QUELM_PACKAGE_ZIP}.sha256
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:QUELM> -DDOCS=${CMAKE_SOURCE_DIR}/app
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DPYTHON=${Python3_EXECUTABLE}
          -DSTAGE=${CMAKE_BINARY_DIR}/package-stage -DZIP=${QUELM_PACKAGE_ZIP}
          -DEPOCH=${QUELM_SOURCE_DATE_EPOCH} -P ${CMAKE_SOURCE_DIR}/cmake/make-zip.cmake
  DEPENDS QUELM ${CMAKE_SOURCE_DIR}/app/TIPOFDAY.TXT ${CMAKE_SOURCE_DIR}/app/README.txt
          ${CMAKE_SOURCE_DIR}/cmake/make-zip.cmake ${CMAKE_SOURCE_DIR}/cmake/zip-files.py
  VERBATIM)
add_custom_target(package_zip DEPENDS ${QUELM_PACKAGE_ZIP})
