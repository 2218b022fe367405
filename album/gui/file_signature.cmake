# cmake -DFILE=PATH -DSTAMP=PATH -P file_signature.cmake
# Writes to STAMP what FILE is (the file its links lead to, its size and
# time) when STAMP says otherwise: a build step that depends on STAMP runs
# again when FILE is replaced, also by a package upgrade, which renames the
# file or gives it the package's time, often older than the last build.
file(REAL_PATH "${FILE}" real)
file(SIZE "${real}" size)
file(TIMESTAMP "${real}" time "%s" UTC)
set(signature "${real} ${size} ${time}\n")
set(old "")
if(EXISTS "${STAMP}")
  file(READ "${STAMP}" old)
endif()
if(NOT old STREQUAL signature)
  file(WRITE "${STAMP}" "${signature}")
endif()
