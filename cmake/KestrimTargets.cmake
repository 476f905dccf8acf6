# Helpers that keep every folder's CMakeLists.txt to a list of files and dependencies.

# Warnings are on everywhere and treated as faults in our own code.
function(kestrim_warnings target)
  # -Wshadow=local is GCC's; clang (the fuzz build) has no such option.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> -Wno-missing-field-initializers)
endfunction()

# kestrim_library(NAME SOURCES ... DEPENDS ...): one library target per source folder.
# Headers are included as "folder/header.h" from the source root.
function(kestrim_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  kestrim_warnings(${name})
endfunction()

# kestrim_test(NAME SOURCES ... DEPENDS ... [GUI] [OWN_MAIN]): a GoogleTest executable run by
# ctest. GUI tests run on the offscreen platform with the application object made by
# tests/support/gui_test_main.cpp, and carry the label "gui" so that the sanitizer build can
# leave them out. OWN_MAIN: the test brings its own main().
function(kestrim_test name)
  cmake_parse_arguments(ARG "GUI;OWN_MAIN" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest)
  if(ARG_OWN_MAIN)
  elseif(ARG_GUI)
    target_link_libraries(${name} PRIVATE kestrim_gui_test_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  kestrim_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
  if(ARG_GUI)
    set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "${env}")
  else()
    set_tests_properties(${name} PROPERTIES LABELS model ENVIRONMENT "${env}")
    set_property(GLOBAL APPEND PROPERTY KESTRIM_MODEL_TESTS ${name})
  endif()
endfunction()

# kestrim_bench(NAME SOURCES ... DEPENDS ...): bench_<area> into build/bin.
function(kestrim_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark)
  kestrim_warnings(${name})
endfunction()

# kestrim_fuzz(NAME SOURCES ... DEPENDS ...): a libFuzzer target, built with clang.
function(kestrim_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  set_property(GLOBAL APPEND PROPERTY KESTRIM_FUZZ_TARGETS ${name})
endfunction()
