# cmake -DEXE= -DSOURCE_DIR= -DSTAGE= -DZIP= -DEPOCH= -P make-zip.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${EXE} ${SOURCE_DIR}/app/TIPOFDAY.TXT ${SOURCE_DIR}/app/README.txt DESTINATION ${STAGE}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(files QUELM.exe TIPOFDAY.TXT README.txt)
set(sums "")
foreach(f IN LISTS files)
  file(SHA256 ${STAGE}/${f} h)
  string(APPEND sums "${h}  ${f}\n")
endforeach()
file(WRITE ${STAGE}/SHA256SUMS "${sums}")
list(APPEND files SHA256SUMS)
file(REMOVE ${ZIP})
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP mtime "%Y-%m-%d %H:%M:%S UTC" UTC)
# The zip's DOS times are local times.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                        ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip "--mtime=${mtime}" -- ${files}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${ZIP} h)
get_filename_component(name ${ZIP} NAME)
file(WRITE ${ZIP}.sha256 "${h}  ${name}\n")
