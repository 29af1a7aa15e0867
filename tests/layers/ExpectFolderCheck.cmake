# Runs the folder check over one fixture tree and fails unless it gives the expected verdict:
#   -DKIND=rejected   CASE is a tree with one file whose first line says "folder-check expects:
#                     line N, TEXT"; the check must fail and name that file, line N and TEXT
#   -DKIND=accepted   CASE is a tree the check must pass
# plus SCRIPT and RULES as the build passes them.
cmake_minimum_required(VERSION 3.25)

set(stamp "${CMAKE_CURRENT_BINARY_DIR}/folder-check-${KIND}.stamp")
file(REMOVE "${stamp}")
execute_process(COMMAND "${CMAKE_COMMAND}" "-DSOURCE_ROOT=${CASE}" "-DRULES=${RULES}" "-DSTAMP=${stamp}"
                        -P "${SCRIPT}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(KIND STREQUAL "rejected")
  file(GLOB_RECURSE files LIST_DIRECTORIES false "${CASE}/*")
  set(expected "")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" first LIMIT_COUNT 1)
    if(first MATCHES "folder-check expects: line ([0-9]+), (.+)$")
      set(expected "${file}:${CMAKE_MATCH_1}: error: [^\n]*${CMAKE_MATCH_2}")
    endif()
  endforeach()
  if(NOT expected)
    message(FATAL_ERROR "no file under ${CASE} says what the check must report")
  endif()
  if(result EQUAL 0)
    message(FATAL_ERROR "the check passed ${CASE}:\n${out}")
  endif()
  if(EXISTS "${stamp}")
    message(FATAL_ERROR "the check failed but still wrote its stamp")
  endif()
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "the check failed without the expected report '${expected}':\n${out}")
  endif()
elseif(KIND STREQUAL "accepted")
  if(NOT result EQUAL 0 OR NOT EXISTS "${stamp}")
    message(FATAL_ERROR "the check refused ${CASE}:\n${out}")
  endif()
else()
  message(FATAL_ERROR "unknown KIND '${KIND}'")
endif()
