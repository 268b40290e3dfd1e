# The release package: a zip with QUELM.exe, the tips file and the Japanese readme at its root,
# named QUELM-<version>-win64.zip or QUELM-<version>-win32.zip after the target architecture.
# The package_zip target makes it (`cpack` too, but stamped with the clock);
# `cmake --install <build> --prefix <dir> --strip` lays out the same files.

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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME QUELM)
set(CPACK_PACKAGE_VENDOR QUELM)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME QUELM-${PROJECT_VERSION}-${QUELM_PACKAGE_ARCH})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shows and changes five Internet zone security settings")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The static runtime brings its debug information along; users get the executable without it
# (about a third of the size).
set(CPACK_STRIP_FILES ON)
# One archive holding only our component, its files at the root.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${QUELM_PACKAGE_COMPONENT})
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# CPack stamps the zip with the clock; the package target makes the same zip from the commit's
# time, files in a fixed order, with their SHA256SUMS, and its sha256 beside it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUELM_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/QUELM-${PROJECT_VERSION}-${QUELM_PACKAGE_ARCH}.zip)
add_custom_command(OUTPUT ${QUELM_PACKAGE_ZIP} ${QUELM_PACKAGE_ZIP}.sha256
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:QUELM> -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DPYTHON=${Python3_EXECUTABLE}
          -DSTAGE=${CMAKE_BINARY_DIR}/package-stage -DZIP=${QUELM_PACKAGE_ZIP}
          -DEPOCH=${QUELM_SOURCE_DATE_EPOCH} -P ${CMAKE_SOURCE_DIR}/cmake/make-zip.cmake
  DEPENDS QUELM ${CMAKE_SOURCE_DIR}/app/TIPOFDAY.TXT ${CMAKE_SOURCE_DIR}/app/README.txt
          ${CMAKE_SOURCE_DIR}/cmake/make-zip.cmake ${CMAKE_SOURCE_DIR}/cmake/zip-files.py
  VERBATIM)
add_custom_target(package_zip DEPENDS ${QUELM_PACKAGE_ZIP})
