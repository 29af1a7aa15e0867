# Fails when a QtCore-only layer reaches for QtGui or QtWidgets. Run as a script:
#
#   cmake -DCHECK_PATHS=dir-or-file;...      sources to scan (folders recursively)
#         [-DCHECK_EXCEPT=dir;...]            folders under them that are allowed GUI headers
#         -DQT_INCLUDE_DIR=dir                Qt's header root (the folder holding QtCore/, QtGui/)
#         -DFORBIDDEN_MODULES=QtGui;...       the modules none of those files may include
#         [-DINCLUDE_PATH_FILES=file;...]     one per library: its name, a line break, its include
#                                             folders (as $<TARGET_PROPERTY:...> writes them)
#         [-DSTAMP=file]                      written when everything passed
#         -P CheckLayerIncludes.cmake
#
# An include is refused in any spelling that reaches a forbidden module: with the module as a
# path part (<QtGui/QImage>, <QtWidgets>, <qt6/QtGui/qimage.h>) or as a bare header name that
# lives in a forbidden module's folder (<QImage>, "qwidget.h"). The bare names come from the
# installed headers, so a class added to QtGui in a later Qt is refused too.

cmake_minimum_required(VERSION 3.25)

foreach(required CHECK_PATHS QT_INCLUDE_DIR FORBIDDEN_MODULES)
  if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
    message(FATAL_ERROR "CheckLayerIncludes: ${required} is not set")
  endif()
endforeach()

# Header names are compared in lower case: a spelling that only resolves on a case-blind file
# system is refused as well.
set(bare_names "")
set(module_regex "")
foreach(module IN LISTS FORBIDDEN_MODULES)
  string(TOLOWER "${module}" lower)
  list(APPEND module_names "${lower}")
  if(IS_DIRECTORY "${QT_INCLUDE_DIR}/${module}")
    file(GLOB headers LIST_DIRECTORIES false RELATIVE "${QT_INCLUDE_DIR}/${module}" "${QT_INCLUDE_DIR}/${module}/*")
    foreach(h IN LISTS headers)
      string(TOLOWER "${h}" h)
      list(APPEND bare_names "${h}")
      set(module_of_${h} "${module}")
    endforeach()
  endif()
endforeach()
# Without the installed names only the path spellings would be caught; that must not pass quietly.
if(NOT bare_names)
  message(FATAL_ERROR "CheckLayerIncludes: no headers of ${FORBIDDEN_MODULES} under ${QT_INCLUDE_DIR}")
endif()

set(failures 0)

function(check_file file)
  file(READ "${file}" text)
  # One list element per line. ';', '\' and brackets would change how CMake splits the list,
  # and none of them can be part of a header name we look for.
  string(REGEX REPLACE "[][;\\\\\r]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    string(TOLOWER "${name}" lower)
    set(module "")
    string(REPLACE "/" ";" parts "${lower}")
    foreach(part IN LISTS parts)
      list(FIND module_names "${part}" index)
      if(index GREATER -1)
        list(GET FORBIDDEN_MODULES ${index} module)
        break()
      endif()
    endforeach()
    if(NOT module AND NOT lower MATCHES "/")
      list(FIND bare_names "${lower}" index)
      if(index GREATER -1)
        set(module "${module_of_${lower}}")
      endif()
    endif()
    if(module)
      message(NOTICE "${file}:${number}: error: #include <${name}> is a ${module} header; "
                     "this layer may not use it")
      math(EXPR failures "${failures} + 1")
      set(failures ${failures} PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

set(checked 0)
foreach(path IN LISTS CHECK_PATHS)
  if(IS_DIRECTORY "${path}")
    file(GLOB_RECURSE files LIST_DIRECTORIES false "${path}/*")
    list(FILTER files INCLUDE REGEX "\\.(h|hh|hpp|hxx|inl|ipp|c|cc|cpp|cxx)$")
    set(kept "")
    foreach(file IN LISTS files)
      set(allowed FALSE)
      foreach(except IN LISTS CHECK_EXCEPT)
        string(FIND "${file}" "${except}/" at)
        if(at EQUAL 0)
          set(allowed TRUE)
        endif()
      endforeach()
      if(NOT allowed)
        list(APPEND kept "${file}")
      endif()
    endforeach()
    set(files "${kept}")
  elseif(EXISTS "${path}")
    set(files "${path}")
  else()
    message(FATAL_ERROR "CheckLayerIncludes: ${path} does not exist")
  endif()
  # A folder that yields nothing means a wrong path, not a clean layer.
  if(NOT files)
    message(FATAL_ERROR "CheckLayerIncludes: no source files in ${path}")
  endif()
  foreach(file IN LISTS files)
    check_file("${file}")
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()

foreach(paths_file IN LISTS INCLUDE_PATH_FILES)
  file(READ "${paths_file}" text)
  string(FIND "${text}" "\n" eol)
  if(eol LESS 0)
    message(FATAL_ERROR "CheckLayerIncludes: ${paths_file} has no target name line")
  endif()
  string(SUBSTRING "${text}" 0 ${eol} target)
  math(EXPR eol "${eol} + 1")
  string(SUBSTRING "${text}" ${eol} -1 dirs)
  string(STRIP "${dirs}" dirs)
  foreach(dir IN LISTS dirs)
    # A module's folder ends in its name (.../qt6/QtGui); the folders above it are anyone's.
    get_filename_component(last "${dir}" NAME)
    string(TOLOWER "${last}" last)
    list(FIND module_names "${last}" index)
    if(index GREATER -1)
      list(GET FORBIDDEN_MODULES ${index} module)
      message(NOTICE "${paths_file}: error: ${target} gets the include folder ${dir} (${module}); "
                     "it may use ${module} only through a privately linked library")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layer violation(s) in ${checked} files")
endif()
if(DEFINED STAMP)
  file(WRITE "${STAMP}" "${checked} files checked\n")
endif()
