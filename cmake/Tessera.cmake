# One helper per kind of target. Sources are always listed explicitly.
#
#   tessera_library(NAME SOURCES ... [LINK ...])           static library; LINK is public; in
#       the fuzz configuration (BUILD_FUZZERS) built with coverage feedback and the address and
#       undefined-behaviour sanitizers, so that the fuzz targets see the code they exercise
#   tessera_program(NAME SOURCES ... [LINK ...])           executable, installed into bin/
#   tessera_test(NAME LABEL model|qt SOURCES ... [LINK ...] [TIMEOUT s] [USES_TOOL target]
#                [ON_X11])
#       model: GoogleTest (also run under the sanitizers); qt: Qt Test, run headless on the
#       offscreen platform with its own settings folder. ON_X11: a qt test that needs a real
#       X server runs on its own virtual display (xvfb-run) with the xcb platform instead.
#       USES_TOOL: see below.
#   tessera_benchmark(NAME SOURCES ... [LINK ...])         Google Benchmark executable
#   tessera_fuzzer(NAME SOURCES ... [LINK ...])            libFuzzer target (clang)

include(GoogleTest)

function(tessera_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  if(BUILD_FUZZERS)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(${name} INTERFACE -fsanitize=address,undefined)
  endif()
endfunction()

function(tessera_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

# USES_TOOL marrowby-cli: the test runs that tool; its path reaches the test as the macro
# MARROWBY_CLI (the tool's name in capitals, '-' as '_') and the tool is built first.
function(tessera_test name)
  cmake_parse_arguments(ARG "ON_X11" "LABEL;TIMEOUT" "SOURCES;LINK;USES_TOOL" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  set(platform offscreen)
  if(ARG_ON_X11)
    set(platform xcb)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp"
                                  $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(ARG_LABEL STREQUAL "model")
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    set_tests_properties(${name} PROPERTIES LABELS model)
  elseif(ARG_LABEL STREQUAL "qt")
    target_link_libraries(${name} PRIVATE tessera_test_support Qt6::Test)
    set_tests_properties(${name} PROPERTIES LABELS qt ENVIRONMENT
      "QT_QPA_PLATFORM=${platform};XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/config-${name};LC_ALL=C.UTF-8")
  else()
    message(FATAL_ERROR "tessera_test(${name}): LABEL must be model or qt")
  endif()
  foreach(tool IN LISTS ARG_USES_TOOL)
    string(TOUPPER "${tool}" macro)
    string(REPLACE "-" "_" macro "${macro}")
    target_compile_definitions(${name} PRIVATE ${macro}="$<TARGET_FILE:${tool}>")
    add_dependencies(${name} ${tool})
  endforeach()
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

function(tessera_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LINK})
endfunction()

function(tessera_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()
