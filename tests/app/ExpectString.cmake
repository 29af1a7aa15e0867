# cmake -DFILE=... -DTEXT=... -DEXPECT=absent|present -P ExpectString.cmake
# Fails unless FILE (a program, say) holds TEXT as EXPECT says.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${FILE}" OR TEXT STREQUAL "" OR NOT EXPECT MATCHES "^(absent|present)$")
  message(FATAL_ERROR "ExpectString: FILE '${FILE}' missing, TEXT empty or EXPECT not absent/present")
endif()
file(STRINGS "${FILE}" found REGEX "${TEXT}")
if(found AND EXPECT STREQUAL "absent")
  message(FATAL_ERROR "${FILE} contains ${TEXT}")
elseif(NOT found AND EXPECT STREQUAL "present")
  message(FATAL_ERROR "${FILE} does not contain ${TEXT}")
endif()
