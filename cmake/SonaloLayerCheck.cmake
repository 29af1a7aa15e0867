# Which folder of src/ may include which: one row a folder, lowest layer first. The root
# CMakeLists.txt adds the folders in this order and the README's layout section shows the same
# table; a build step (CheckFolderIncludes.cmake) fails on any include that breaks it.
#
#   folder     may include (besides itself)
set(SONALO_FOLDER_RULES
  "core:"
  "tags:core"
  "desktop:core"
  "export:core"
  "playback:tags core"
  "shell:playback tags core"
  "session:shell export playback desktop tags core"
  "ui:session shell export playback desktop tags core"
  "app:ui session shell export playback desktop tags core"
  "cli:export playback tags core")
set(SONALO_LAYERS "")
foreach(rule IN LISTS SONALO_FOLDER_RULES)
  string(REGEX REPLACE ":.*" "" folder "${rule}")
  list(APPEND SONALO_LAYERS ${folder})
endforeach()
set(SONALO_FOLDER_CHECK_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/CheckFolderIncludes.cmake)

# core/, tags/, export/ and desktop/ use QtCore only (the picture writer in core/picture/ is the one exception).
# Two guards: their libraries get no QtGui include folders, so a plain <QImage> does not
# compile; and since <QtGui/QImage> still would through Qt's root include folder, a build step
# scans their files and fails on any GUI include before they are compiled.

set(SONALO_QTCORE_ONLY_PATHS ${CMAKE_SOURCE_DIR}/src/core ${CMAKE_SOURCE_DIR}/src/tags ${CMAKE_SOURCE_DIR}/src/export ${CMAKE_SOURCE_DIR}/src/desktop)
set(SONALO_QTCORE_ONLY_EXCEPT ${CMAKE_SOURCE_DIR}/src/core/picture)
set(SONALO_QTCORE_ONLY_TARGETS sonalo_core sonalo_tags sonalo_export sonalo_desktop)
set(SONALO_GUI_MODULES QtGui QtWidgets QtOpenGL QtOpenGLWidgets QtPrintSupport)
set(SONALO_WIDGET_MODULES QtWidgets QtOpenGLWidgets QtPrintSupport)
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
  # session/ may use QtGui (fonts, colours, the clipboard) but no widget header.
  set(session_stamp ${CMAKE_BINARY_DIR}/layer-check/session.stamp)
  file(GLOB_RECURSE session_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/session/*)
  add_custom_command(
    OUTPUT ${session_stamp}
    COMMAND ${CMAKE_COMMAND}
            "-DCHECK_PATHS=${CMAKE_SOURCE_DIR}/src/session"
            "-DQT_INCLUDE_DIR=${SONALO_QT_INCLUDE_DIR}"
            "-DFORBIDDEN_MODULES=${SONALO_WIDGET_MODULES}"
            "-DSTAMP=${session_stamp}"
            -P ${SONALO_LAYER_CHECK_SCRIPT}
    DEPENDS ${SONALO_LAYER_CHECK_SCRIPT} ${session_sources}
    COMMENT "Checking that session/ includes no widget header"
    VERBATIM)

  set(folder_stamp ${CMAKE_BINARY_DIR}/layer-check/folders.stamp)
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.hh ${CMAKE_SOURCE_DIR}/src/*.hpp
    ${CMAKE_SOURCE_DIR}/src/*.hxx ${CMAKE_SOURCE_DIR}/src/*.inl ${CMAKE_SOURCE_DIR}/src/*.ipp
    ${CMAKE_SOURCE_DIR}/src/*.c ${CMAKE_SOURCE_DIR}/src/*.cc ${CMAKE_SOURCE_DIR}/src/*.cpp
    ${CMAKE_SOURCE_DIR}/src/*.cxx)
  add_custom_command(
    OUTPUT ${folder_stamp}
    COMMAND ${CMAKE_COMMAND} "-DSOURCE_ROOT=${CMAKE_SOURCE_DIR}/src" "-DRULES=${SONALO_FOLDER_RULES}"
            "-DSTAMP=${folder_stamp}" -P ${SONALO_FOLDER_CHECK_SCRIPT}
    DEPENDS ${SONALO_FOLDER_CHECK_SCRIPT} ${all_sources}
    COMMENT "Checking which folder of src/ includes which"
    VERBATIM)
  add_custom_target(sonalo_layer_check DEPENDS ${stamp} ${session_stamp} ${folder_stamp})
  foreach(layer IN LISTS SONALO_LAYERS)
    if(TARGET sonalo_${layer})
      add_dependencies(sonalo_${layer} sonalo_layer_check)
    endif()
  endforeach()
endfunction()

# The widget-free layers must not get QtWidgets through any library they link, directly or
# through another library. Checked when the project is configured, after every folder is added.
function(sonalo_check_no_widgets)
  foreach(target IN LISTS ARGN)
    set(queue ${target})
    set(seen "")
    while(queue)
      list(POP_FRONT queue current)
      if(current IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${current})
      if(current MATCHES "^Qt6::(Widgets|OpenGLWidgets|PrintSupport)$")
        message(FATAL_ERROR "${target} links ${current} (through ${seen}); it must stay widget-free")
      endif()
      if(TARGET ${current})
        get_target_property(libs ${current} INTERFACE_LINK_LIBRARIES)
        get_target_property(type ${current} TYPE)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
          get_target_property(own ${current} LINK_LIBRARIES)
          if(own)
            list(APPEND libs ${own})
          endif()
        endif()
        foreach(lib IN LISTS libs)
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1" lib "${lib}")
          if(lib AND NOT lib MATCHES "^\\$<")
            list(APPEND queue ${lib})
          endif()
        endforeach()
      endif()
    endwhile()
  endforeach()
endfunction()
