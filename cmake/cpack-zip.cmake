# CPack's package script: the files CPack staged, zipped by make-zip.cmake as the package_zip
# target zips them, and handed back to CPack, which copies them into the build folder.
set(DOCS ${CPACK_TEMPORARY_DIRECTORY}/quelm)
set(EXE ${DOCS}/QUELM.exe)
set(PYTHON ${CPACK_QUELM_PYTHON})
set(SOURCE_DIR ${CPACK_QUELM_SOURCE_DIR})
set(STAGE ${CPACK_TOPLEVEL_DIRECTORY}/package-stage)
set(ZIP ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
set(EPOCH ${CPACK_QUELM_EPOCH})
include(${SOURCE_DIR}/cmake/make-zip.cmake)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${ZIP} ${ZIP}.sha256)
