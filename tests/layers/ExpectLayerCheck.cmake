# Runs the layer check over one fixture and fails unless it gives the expected verdict:
#   -DKIND=rejected-file     CASE is a source whose first line says "layer-check expects: line N, Module";
#                            the check must fail and name CASE:N and the module
#   -DKIND=accepted-folder   CASE is a folder (EXCEPT one of its sub-folders); the check must pass
#   -DKIND=rejected-paths    CASE is an include-folder list; the check must fail and name the module
#   -DKIND=accepted-paths    CASE is an include-folder list; the check must pass
# plus SCRIPT, QT_INCLUDE_DIR and FORBIDDEN_MODULES as the build passes them.
cmake_minimum_required(VERSION 3.25)

# FORBIDDEN_MODULES is a list: it goes to the command as one quoted argument, never through args.
set(args "-DQT_INCLUDE_DIR=${QT_INCLUDE_DIR}")
set(stamp "${CMAKE_CURRENT_BINARY_DIR}/layer-check-${KIND}.stamp")
file(REMOVE "${stamp}")
if(KIND STREQUAL "rejected-file")
  file(STRINGS "${CASE}" first LIMIT_COUNT 1)
  if(NOT first MATCHES "layer-check expects: line ([0-9]+), ([A-Za-z]+)")
    message(FATAL_ERROR "${CASE} does not say what the check must report")
  endif()
  set(expected "${CASE}:${CMAKE_MATCH_1}: error: #include <[^>]+> is a ${CMAKE_MATCH_2} header")
  list(APPEND args "-DCHECK_PATHS=${CASE}")
elseif(KIND STREQUAL "accepted-folder")
  list(APPEND args "-DCHECK_PATHS=${CASE}" "-DCHECK_EXCEPT=${EXCEPT}")
elseif(KIND MATCHES "-paths$")
  # The include folders alone: a source without includes keeps the file scan quiet.
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/layer-check-empty.cpp" "")
  list(APPEND args "-DCHECK_PATHS=${CMAKE_CURRENT_BINARY_DIR}/layer-check-empty.cpp" "-DINCLUDE_PATH_FILES=${CASE}")
  set(expected "${CASE}: error: [a-z_]+ gets the include folder [^ ]+/QtGui \\(QtGui\\)")
else()
  message(FATAL_ERROR "unknown KIND '${KIND}'")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" ${args} "-DFORBIDDEN_MODULES=${FORBIDDEN_MODULES}" "-DSTAMP=${stamp}"
                        -P "${SCRIPT}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(KIND MATCHES "^rejected")
  if(result EQUAL 0)
    message(FATAL_ERROR "the check passed ${CASE}:\n${out}")
  endif()
  if(EXISTS "${stamp}")
    message(FATAL_ERROR "the check failed but still wrote its stamp")
  endif()
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "the check failed without the expected report '${expected}':\n${out}")
  endif()
else()
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the check refused ${CASE}:\n${out}")
  endif()
  if(NOT EXISTS "${stamp}")
    message(FATAL_ERROR "the check passed without writing its stamp")
  endif()
endif()
