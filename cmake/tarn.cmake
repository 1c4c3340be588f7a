# Helpers shared by every subsystem's CMakeLists: a library from the sources of its folders.

# tarn_library(NAME DIRS dir... [DEPS target...])
# Globs the .cpp files of the given folders (relative to the repository root), so adding a
# source file needs no edit here; headers are included by their path from the root.
function(tarn_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A subsystem with no sources yet still links, so dependants can name it.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE tarn_warnings PUBLIC Threads::Threads ${ARG_DEPS})
endfunction()

# The public corpora lie beside the main checkout; a git worktree elsewhere finds them from there.
set(TARN_CORPORA_DIR "${PROJECT_SOURCE_DIR}/../shared/corpora")
if(NOT EXISTS "${TARN_CORPORA_DIR}")
  execute_process(COMMAND git rev-parse --path-format=absolute --git-common-dir
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE tarn_git_common
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(tarn_git_common)
    get_filename_component(tarn_main_checkout "${tarn_git_common}" DIRECTORY)
    set(TARN_CORPORA_DIR "${tarn_main_checkout}/../shared/corpora")
  endif()
endif()

# tarn_test(NAME DIR LIBS lib... [ENV VAR=value] [SERIAL])
# One GoogleTest executable per subsystem from tests/DIR/*.cpp. Tests whose suite name ends
# in "Threads" are the ones the TSan build runs. SERIAL tests run alone: they time what a user
# waits for on a real window, which other tests loading the machine would only blur.
function(tarn_test name dir)
  cmake_parse_arguments(ARG "SERIAL" "" "LIBS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarn_warnings GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TARN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARN_BINARY_DIR="${PROJECT_BINARY_DIR}"
    TARN_CORPORA_DIR="${TARN_CORPORA_DIR}")
  set(properties)
  if(ARG_ENV)
    # One variable only: gtest_discover_tests passes a list's items as separate arguments.
    list(APPEND properties ENVIRONMENT "${ARG_ENV}")
  endif()
  if(ARG_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  if(properties)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# tarn_fuzz_target(NAME SOURCE LIBS lib...)
# Every fuzz target builds in every build as a replay test over its seed corpus
# (tests/fuzz/corpus/NAME); with TARN_FUZZ and clang it also builds as a libFuzzer binary.
function(tarn_fuzz_target name source)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name}_replay ${source} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS} tarn_warnings)
  add_test(NAME fuzz_replay.${name}
    COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(TARN_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(${name}_fuzzer ${source})
    target_include_directories(${name}_fuzzer PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name}_fuzzer PRIVATE ${ARG_LIBS})
  endif()
endfunction()
