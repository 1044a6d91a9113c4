# Writes the build stamp: the moment the program's code last changed, as far as this
# build tree has seen. The sources of the program (everything but tests, scripts and
# build trees) are hashed; while the hash stays the same the stamp file is left alone,
# so an unchanged tree neither recompiles nor relinks, and a copy started again is not
# "older" than the running ones. A changed hash takes the current moment.
#   -DSRC=<source dir> -DBIN=<build dir> -DOUT=<stamp file>
file(GLOB children LIST_DIRECTORIES true RELATIVE ${SRC} ${SRC}/*)
set(files ${SRC}/CMakeLists.txt)
foreach(child IN LISTS children)
  set(path ${SRC}/${child})
  if(NOT IS_DIRECTORY ${path} OR child MATCHES "^(\\.|build|tests$|scripts$)")
    continue()
  endif()
  get_filename_component(real ${path} REALPATH)
  get_filename_component(bin ${BIN} REALPATH)
  if(real STREQUAL bin OR EXISTS ${path}/CMakeCache.txt)
    continue()
  endif()
  file(GLOB_RECURSE found ${path}/*.cpp ${path}/*.h ${path}/*.sql ${path}/CMakeLists.txt)
  list(APPEND files ${found})
endforeach()
list(SORT files)
set(all "")
foreach(f IN LISTS files)
  file(RELATIVE_PATH rel ${SRC} ${f})
  file(SHA256 ${f} h)
  string(APPEND all "${rel} ${h}\n")
endforeach()
string(SHA256 hash "${all}")

if(EXISTS ${OUT})
  file(STRINGS ${OUT} old REGEX "^// sources ")
  if(old STREQUAL "// sources ${hash}")
    return()
  endif()
endif()

string(TIMESTAMP STAMP_DATE "%Y%m%d")
string(TIMESTAMP STAMP_H "%H")
string(TIMESTAMP STAMP_M "%M")
string(TIMESTAMP STAMP_S "%S")
math(EXPR STAMP_TIME "${STAMP_H} * 3600 + ${STAMP_M} * 60 + ${STAMP_S}")
math(EXPR STAMP_DATE "${STAMP_DATE}")
file(WRITE ${OUT}
  "// Generated at build time when the program's sources change.\n"
  "// sources ${hash}\n"
  "extern const int kBuildDateStamp = ${STAMP_DATE};\n"
  "extern const int kBuildTimeStamp = ${STAMP_TIME};\n")
