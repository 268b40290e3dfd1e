# cmake -DEXE= -DDOCS= -DPYTHON= -DSOURCE_DIR= -DSTAGE= -DZIP= -DEPOCH= -P make-zip.cmake
# (DOCS: the folder with TIPOFDAY.TXT and README.txt), or include()d with these variables set.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${EXE} ${DOCS}/TIPOFDAY.TXT ${DOCS}/README.txt DESTINATION ${STAGE}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(files QUELM.exe TIPOFDAY.TXT README.txt)
set(sums "")
foreach(f IN LISTS files)
  file(SHA256 ${STAGE}/${f} h)
  string(APPEND sums "${h}  ${f}\n")
endforeach()
file(WRITE ${STAGE}/SHA256SUMS "${sums}")
list(APPEND files SHA256SUMS)
# cmake -E tar would store the files' access and change times as well.
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/cmake/zip-files.py ${ZIP} ${EPOCH} ${files}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${ZIP} h)
get_filename_component(name ${ZIP} NAME)
file(WRITE ${ZIP}.sha256 "${h}  ${name}\n")
