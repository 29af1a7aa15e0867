# sonalo_read_includes(file out): the #include lines of a source file, as a list of
# "line-number|header" (the header as written between <> or ""). Shared by the build's include
# checks (CheckLayerIncludes.cmake, CheckFolderIncludes.cmake).
function(sonalo_read_includes file out)
  file(READ "${file}" text)
  # One list element per line. ';', '\' and brackets would change how CMake splits the list,
  # and none of them can be part of a header name we look for.
  string(REGEX REPLACE "[][;\\\\\r]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(found "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
      list(APPEND found "${number}|${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
