# Fails when a source file includes a header of a folder its own folder may not use. Run as a script:
#
#   cmake -DSOURCE_ROOT=dir                  the folder holding one sub-folder per layer (src/)
#         "-DRULES=folder:used used...;..."  which folder may include which (SonaloLayers.cmake)
#         [-DSTAMP=file]                     written when everything passed
#         -P CheckFolderIncludes.cmake
#
# An include "x/..." counts when x is a folder named in the rules; "../" anywhere in an include is
# refused too, since it would let a file reach a folder without naming it. Every file under
# SOURCE_ROOT must lie in a folder the rules name: a new folder gets its row before it builds.

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ReadIncludes.cmake)

foreach(required SOURCE_ROOT RULES)
  if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
    message(FATAL_ERROR "CheckFolderIncludes: ${required} is not set")
  endif()
endforeach()

set(folders "")
foreach(rule IN LISTS RULES)
  if(NOT rule MATCHES "^([a-z]+):([a-z ]*)$")
    message(FATAL_ERROR "CheckFolderIncludes: malformed rule '${rule}'")
  endif()
  set(folder "${CMAKE_MATCH_1}")
  string(REPLACE " " ";" used "${CMAKE_MATCH_2}")
  list(APPEND folders "${folder}")
  set(allowed_${folder} ${folder} ${used})
endforeach()

set(failures 0)
set(checked 0)

function(check_file file folder)
  sonalo_read_includes("${file}" includes)
  foreach(include IN LISTS includes)
    string(REGEX REPLACE "\\|.*" "" number "${include}")
    string(REGEX REPLACE "^[0-9]+\\|" "" name "${include}")
    if(name MATCHES "(^|/)\\.\\./")
      message(NOTICE "${file}:${number}: error: #include \"${name}\" climbs out of its folder; "
                     "name the folder instead")
      math(EXPR failures "${failures} + 1")
      set(failures ${failures} PARENT_SCOPE)
      continue()
    endif()
    if(NOT name MATCHES "^([a-z]+)/")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    list(FIND folders "${target}" known)
    list(FIND allowed_${folder} "${target}" ok)
    if(known GREATER -1 AND ok EQUAL -1)
      message(NOTICE "${file}:${number}: error: ${folder}/ may not include ${target}/ "
                     "(${folder}/ may use: ${allowed_${folder}})")
      math(EXPR failures "${failures} + 1")
      set(failures ${failures} PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE_ROOT}" "${SOURCE_ROOT}/*")
list(FILTER files INCLUDE REGEX "\\.(h|hh|hpp|hxx|inl|ipp|c|cc|cpp|cxx)$")
if(NOT files)
  message(FATAL_ERROR "CheckFolderIncludes: no source files under ${SOURCE_ROOT}")
endif()
foreach(relative IN LISTS files)
  string(REGEX MATCH "^[^/]+" folder "${relative}")
  list(FIND folders "${folder}" known)
  if(known EQUAL -1 OR relative STREQUAL folder)
    message(NOTICE "${SOURCE_ROOT}/${relative}:1: error: ${folder} is no folder of the rules")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  check_file("${SOURCE_ROOT}/${relative}" "${folder}")
  math(EXPR checked "${checked} + 1")
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} folder rule violation(s) in ${checked} files")
endif()
if(DEFINED STAMP)
  file(WRITE "${STAMP}" "${checked} files checked\n")
endif()
