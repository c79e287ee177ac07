# Helpers shared by every folder's CMakeLists.txt.

# Layers the compiler enforces. Headers are included by their path from the source root
# ("chords/ChordBook.h"), but no target sees the whole root: each gets an include tree of
# its own in the build folder, with links to just the source folders it may use (its own,
# and those of the libraries it links, all the way down). An include of a folder outside
# that tree does not compile.

# The source folders a target's include tree links: folders plus those of every Tonvera
# library in libs, recorded by tonvera_library.
function(tonvera_visible_folders out folders libs)
  set(visible ${folders})
  foreach(lib IN LISTS libs)
    if(TARGET ${lib})
      get_property(lib_folders GLOBAL PROPERTY TONVERA_FOLDERS_${lib})
      list(APPEND visible ${lib_folders})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set(${out} ${visible} PARENT_SCOPE)
endfunction()

# tonvera_include_tree(target FOLDERS ... [LIBS ...]): gives target an include tree of the
# given source folders and those its Tonvera libraries may use.
function(tonvera_include_tree target)
  cmake_parse_arguments(A "" "" "FOLDERS;LIBS" ${ARGN})
  tonvera_visible_folders(visible "${A_FOLDERS}" "${A_LIBS}")
  set(tree ${CMAKE_BINARY_DIR}/include-trees/${target})
  file(REMOVE_RECURSE ${tree})
  foreach(folder IN LISTS visible)
    get_filename_component(parent ${tree}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${tree}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PRIVATE ${tree})
  set_property(GLOBAL PROPERTY TONVERA_FOLDERS_${target} ${visible})
endfunction()

# The current folder, relative to the source root ("chords", "common/Vexel/src").
function(tonvera_current_folder out)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

# tonvera_library(NAME name SOURCES ... [LIBS ...]): one static library per folder, which
# sees its own folder and those of the libraries it links.
function(tonvera_library)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} STATIC ${A_SOURCES})
  target_link_libraries(${A_NAME} PUBLIC ${A_LIBS})
  tonvera_current_folder(folder)
  tonvera_include_tree(${A_NAME} FOLDERS ${folder} LIBS ${A_LIBS})
endfunction()

# tonvera_executable(target FOLDERS ... LIBS ...): a program of tools/, tests/, bench/ or
# fuzz/ links libs and sees their folders and the given ones.
function(tonvera_executable target)
  cmake_parse_arguments(A "" "" "FOLDERS;LIBS" ${ARGN})
  target_link_libraries(${target} PRIVATE ${A_LIBS})
  tonvera_include_tree(${target} FOLDERS ${A_FOLDERS} LIBS ${A_LIBS})
endfunction()

# tonvera_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [QT]): a GoogleTest program
# registered with CTest. QT tests use the shared main that makes a
# QApplication on the offscreen platform. The test code itself is compiled without
# optimisation, which builds it faster; what it tests comes optimised from the libraries.
# Sanitizer and fuzzing builds keep their own flags.
function(tonvera_test)
  cmake_parse_arguments(A "QT" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  if(NOT TONVERA_SANITIZE AND NOT TONVERA_FUZZ)
    target_compile_options(${A_NAME} PRIVATE -O0)
  endif()
  if(A_QT)
    find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
    target_sources(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${A_NAME} PRIVATE Qt6::Widgets Qt6::Test GTest::gtest)
  else()
    target_link_libraries(${A_NAME} PRIVATE GTest::gtest_main)
  endif()
  tonvera_executable(${A_NAME} FOLDERS tests LIBS ${A_LIBS})
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
  target_link_libraries(${A_NAME} PRIVATE benchmark::benchmark)
  tonvera_executable(${A_NAME} FOLDERS bench LIBS ${A_LIBS})
  set_target_properties(${A_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# tonvera_fuzzer(NAME name SOURCES ... [LIBS ...] [FOLDERS ...]): a libFuzzer target in
# build-fuzz/fuzz/, built by the "fuzzers" target. FOLDERS are source folders it sees
# beside those of its libraries (for a source compiled into the target itself).
function(tonvera_fuzzer)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS;FOLDERS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_compile_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  tonvera_executable(${A_NAME} FOLDERS fuzz ${A_FOLDERS} LIBS ${A_LIBS})
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
