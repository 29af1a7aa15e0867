# Installs the build into a temporary prefix and checks that the program's own desktop entry,
# its icon and the README the shortcuts window links to are there; the entry is validated when
# desktop-file-validate is installed.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P ExpectInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/sonalo share/applications/io.github.orvmedia.Sonalo.desktop share/icons/hicolor/scalable/apps/sonalo.svg
          share/doc/sonalo/README.md)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(READ "${PREFIX}/share/doc/sonalo/README.md" readme)
if(NOT readme MATCHES "\n## Desktop integration\n")
  message(FATAL_ERROR "the installed README has no section on desktop integration")
endif()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} "${PREFIX}/share/applications/io.github.orvmedia.Sonalo.desktop"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the desktop entry: ${out}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
