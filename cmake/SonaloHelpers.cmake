# Warnings and text-conversion rules for our own code only.
function(sonalo_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-error=deprecated-declarations
    -Wshadow -Wold-style-cast -Woverloaded-virtual -Wmissing-declarations -Wformat=2)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_KEYWORDS
    QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH)
endfunction()

# sonalo_library(name SOURCES ... LIBS ... [PRIVATE_LIBS ...]): one static library per layer.
# PRIVATE_LIBS are linked into the programs but give the library's users no include paths.
function(sonalo_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_LIBS} PRIVATE ${A_PRIVATE_LIBS})
  sonalo_strict(${name})
endfunction()

# sonalo_test(name SOURCES ... LIBS ... [LABELS ...]): a GoogleTest executable run by ctest.
function(sonalo_test name)
  cmake_parse_arguments(A "" "WRAPPER" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE SONALO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    SONALO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SONALO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  sonalo_strict(${name})
  # WRAPPER: a script that prepares what the test needs (a display, say) and runs the test program.
  if(A_WRAPPER)
    add_test(NAME ${name} COMMAND ${A_WRAPPER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
  if(A_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}")
  endif()
endfunction()

# sonalo_session_bus_tests(test ...): tests that may own the MPRIS name on the one session bus
# of a test run, so they never overlap. Call it after add_test, in the folder that adds them:
# a property set on a test that does not exist (yet, or here) is silently lost.
function(sonalo_session_bus_tests)
  foreach(t IN LISTS ARGN)
    if(NOT TEST ${t})
      message(FATAL_ERROR "sonalo_session_bus_tests: no test ${t} in ${CMAKE_CURRENT_SOURCE_DIR}")
    endif()
    # Appended: a test may hold other locks of its own (a private sound server, say).
    set_property(TEST ${t} APPEND PROPERTY RESOURCE_LOCK session_bus_mpris)
  endforeach()
endfunction()

# sonalo_fuzzer(name SOURCE file LIBS ... CORPUS dir [DICT file])
# With SONALO_FUZZ a libFuzzer binary; always a replay binary that runs the seed corpus
# (and every regression input) as a ctest test, so a crash found once stays fixed.
function(sonalo_fuzzer name)
  cmake_parse_arguments(A "" "SOURCE;CORPUS;DICT" "LIBS" ${ARGN})
  add_executable(replay_${name} ${A_SOURCE} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(replay_${name} PRIVATE ${A_LIBS})
  target_include_directories(replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
  sonalo_strict(replay_${name})
  add_test(NAME fuzz_replay_${name} COMMAND replay_${name} ${A_CORPUS} ${CMAKE_SOURCE_DIR}/tests/data/regression)
  set_tests_properties(fuzz_replay_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600
                       LABELS "fuzz;unit")
  if(SONALO_FUZZ)
    add_executable(fuzz_${name} ${A_SOURCE})
    target_link_libraries(fuzz_${name} PRIVATE ${A_LIBS})
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
