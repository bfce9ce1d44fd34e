# Helpers shared by every folder's CMakeLists.txt.
include(GoogleTest)

# nv4_add_library(NAME <name> [QT] [DEPS <targets>...] [EXCLUDE <files>...])
# One static library per source folder, named nv4_<name> with the alias nv4::<name>. Its sources
# are the folder's *.cpp files (but EXCLUDE); headers are included as "folder/file.h" from the
# source root.
function(nv4_add_library)
  cmake_parse_arguments(ARG "QT" "NAME" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(target nv4_${ARG_NAME})
  if(NOT sources)
    # A folder whose code is still to come.
    add_library(${target} INTERFACE)
    add_library(nv4::${ARG_NAME} ALIAS ${target})
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources} ${headers})
  add_library(nv4::${ARG_NAME} ALIAS ${target})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PUBLIC Qt6::Widgets)
  endif()
endfunction()

# How long one test case may run before ctest ends it as hung. Only a guard against hangs: the
# slowest case takes seconds, and a sanitized build on a busy machine many times that.
if(NV4_SANITIZE OR NV4_TSAN)
  set(NV4_TEST_TIMEOUT 300)
else()
  set(NV4_TEST_TIMEOUT 120)
endif()

# The test executables of the code that shares work among threads, so that the ThreadSanitizer
# build needs to build only these; their test cases carry the ctest label "threaded".
add_custom_target(threaded_tests)

# nv4_add_test(NAME <name> SOURCES <files>... LIBS <targets>... [GUI] [THREADED])
# One GoogleTest executable, each test case registered with ctest. GUI tests get a QApplication
# on the offscreen platform (their main comes from nv4_gui_test_main); others link no Qt at all.
# THREADED ones belong to threaded_tests.
function(nv4_add_test)
  cmake_parse_arguments(ARG "GUI;THREADED" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  if(ARG_GUI)
    set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ON)
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} nv4_gui_test_main Qt6::Test)
    set(properties ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  else()
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} nv4_test_main)
    set(properties "")
  endif()
  target_compile_definitions(${ARG_NAME} PRIVATE
    NV4_SOURCE_DIR="${PROJECT_SOURCE_DIR}" NV4_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(ARG_THREADED)
    add_dependencies(threaded_tests ${ARG_NAME})
    list(APPEND properties LABELS threaded)
  endif()
  # Names and values only, no empty value: gtest_discover_tests drops it and pairs every later
  # name with the wrong value.
  gtest_discover_tests(${ARG_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT ${NV4_TEST_TIMEOUT} ${properties}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# nv4_add_bench(NAME <name> SOURCES <files>... LIBS <targets>...)
function(nv4_add_bench)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
  target_compile_definitions(${ARG_NAME} PRIVATE
    NV4_SOURCE_DIR="${PROJECT_SOURCE_DIR}" NV4_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()

# nv4_add_folder_tests(LIBS <targets>... [GUI] [THREADED <files>...])
# Every *_test.cpp of the calling folder becomes a test executable of its own, named after the
# folder and the file, so that one unit's tests build and run apart from the others. The files
# named after THREADED test code that shares work among threads (see threaded_tests).
function(nv4_add_folder_tests)
  cmake_parse_arguments(ARG "GUI" "" "LIBS;THREADED" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" folder "${folder}")
  # A renamed file would otherwise lose its label unnoticed.
  foreach(threaded ${ARG_THREADED})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${threaded})
      message(FATAL_ERROR "THREADED names ${threaded}, which is not in ${CMAKE_CURRENT_SOURCE_DIR}")
    endif()
  endforeach()
  foreach(source ${test_sources})
    get_filename_component(name ${source} NAME)
    get_filename_component(stem ${source} NAME_WE)
    set(kinds "")
    if(ARG_GUI)
      list(APPEND kinds GUI)
    endif()
    if(name IN_LIST ARG_THREADED)
      list(APPEND kinds THREADED)
    endif()
    nv4_add_test(NAME ${folder}_${stem} SOURCES ${source} LIBS ${ARG_LIBS} ${kinds})
  endforeach()
endfunction()

# nv4_add_folder_benches(LIBS <targets>...)
# Every *_bench.cpp of the calling folder becomes a benchmark executable of its own, named after
# the folder and the file (bench/geo/earth_bench.cpp: geo_earth_bench).
function(nv4_add_folder_benches)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_bench.cpp)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/bench ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" folder "${folder}")
  foreach(source ${bench_sources})
    get_filename_component(stem ${source} NAME_WE)
    nv4_add_bench(NAME ${folder}_${stem} SOURCES ${source} LIBS ${ARG_LIBS})
  endforeach()
endfunction()
