# core/, tags/, export/ and desktop/ use QtCore only (the picture writer in core/picture/ is the one exception).
# Two guards: their libraries get no QtGui include folders, so a plain <QImage> does not
# compile; and since <QtGui/QImage> still would through Qt's root include folder, a build step
# scans their files and fails on any GUI include before they are compiled.

set(SONALO_QTCORE_ONLY_PATHS ${CMAKE_SOURCE_DIR}/src/core ${CMAKE_SOURCE_DIR}/src/tags ${CMAKE_SOURCE_DIR}/src/export ${CMAKE_SOURCE_DIR}/src/desktop)
set(SONALO_QTCORE_ONLY_EXCEPT ${CMAKE_SOURCE_DIR}/src/core/picture)
set(SONALO_QTCORE_ONLY_TARGETS sonalo_core sonalo_tags sonalo_export sonalo_desktop)
set(SONALO_GUI_MODULES QtGui QtWidgets QtOpenGL QtOpenGLWidgets QtPrintSupport)
set(SONALO_LAYER_CHECK_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake)

set(SONALO_QT_INCLUDE_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}")
if(NOT EXISTS "${SONALO_QT_INCLUDE_DIR}/QtGui/QImage")
  message(FATAL_ERROR "Qt's headers are not where the layer check looks (${SONALO_QT_INCLUDE_DIR})")
endif()

function(sonalo_check_layers)
  set(sources "")
  foreach(path IN LISTS SONALO_QTCORE_ONLY_PATHS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${path}/*.h ${path}/*.hh ${path}/*.hpp ${path}/*.hxx ${path}/*.inl ${path}/*.ipp
      ${path}/*.c ${path}/*.cc ${path}/*.cpp ${path}/*.cxx)
    list(APPEND sources ${found})
  endforeach()

  set(path_files "")
  foreach(target IN LISTS SONALO_QTCORE_ONLY_TARGETS)
    set(file ${CMAKE_BINARY_DIR}/layer-check/${target}.includes)
    file(GENERATE OUTPUT ${file} CONTENT "${target}\n$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>\n")
    list(APPEND path_files ${file})
  endforeach()

  set(stamp ${CMAKE_BINARY_DIR}/layer-check/passed.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND}
            "-DCHECK_PATHS=${SONALO_QTCORE_ONLY_PATHS}"
            "-DCHECK_EXCEPT=${SONALO_QTCORE_ONLY_EXCEPT}"
            "-DQT_INCLUDE_DIR=${SONALO_QT_INCLUDE_DIR}"
            "-DFORBIDDEN_MODULES=${SONALO_GUI_MODULES}"
            "-DINCLUDE_PATH_FILES=${path_files}"
            "-DSTAMP=${stamp}"
            -P ${SONALO_LAYER_CHECK_SCRIPT}
    DEPENDS ${SONALO_LAYER_CHECK_SCRIPT} ${sources} ${path_files}
    COMMENT "Checking that core/, tags/, export/ and desktop/ include nothing from QtGui or QtWidgets"
    VERBATIM)
  add_custom_target(sonalo_layer_check DEPENDS ${stamp})
  foreach(target IN LISTS SONALO_QTCORE_ONLY_TARGETS)
    add_dependencies(${target} sonalo_layer_check)
  endforeach()
endfunction()
