# Helpers shared by every folder's CMakeLists.txt.

# tonvera_library(NAME name SOURCES ... [LIBS ...]): one static library per folder.
# Headers are included relative to the source root ("chords/ChordBook.h").
function(tonvera_library)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} STATIC ${A_SOURCES})
  target_include_directories(${A_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${A_NAME} PUBLIC ${A_LIBS})
endfunction()

# tonvera_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [QT]): a GoogleTest program
# registered with CTest. QT tests use the shared main that makes a QApplication on the
# offscreen platform.
function(tonvera_test)
  cmake_parse_arguments(A "QT" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  if(A_QT)
    find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
    target_sources(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} Qt6::Widgets Qt6::Test GTest::gtest)
  else()
    target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} GTest::gtest_main)
  endif()
  target_include_directories(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  # Property values are flattened into one list on their way to CTest, so each value must be a
  # single item (the widget tests' main sets up the rest of their environment), and an empty
  # LABELS value would swallow the next property name: it is passed only when set.
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  gtest_discover_tests(${A_NAME} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()

# tonvera_bench(NAME name SOURCES ... [LIBS ...]): a Google Benchmark program in build/bench/.
function(tonvera_bench)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${A_NAME} ${A_SOURCES})
  target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} benchmark::benchmark)
  target_include_directories(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${A_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# tonvera_fuzzer(NAME name SOURCES ... [LIBS ...]): a libFuzzer target in build-fuzz/fuzz/,
# built by the "fuzzers" target.
function(tonvera_fuzzer)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_compile_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${A_NAME} PRIVATE ${A_LIBS})
  target_include_directories(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${A_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzzers ${A_NAME})
endfunction()

# tonvera_program(target): an executable placed in the program folder beside the data.
function(tonvera_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TONVERA_PROGRAM_DIR})
endfunction()

# tonvera_add_subfolders(): adds every sub-folder of the current folder that has a
# CMakeLists.txt, so a new subsystem's tests, tools or benchmarks join by existing.
function(tonvera_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
