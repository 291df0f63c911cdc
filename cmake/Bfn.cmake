# Every logic folder is a static library of its .cpp files; every test folder one GoogleTest
# program, labelled with its folder so CTest can pick a subsystem (-L storage).
#
# A folder that holds two layers gives each its own library: the lower one names its units
# with SOURCES (file patterns in the folder, e.g. ETider*.cpp), the one declared after it
# takes the rest of the folder, so every .cpp belongs to exactly one library.
#
# With SEAM, the library is also built a second time as <name>_seam over the engine whose
# file layer carries the fault-injection seam, so that tests can make any file call of the
# logic above the engine fail. Only tests link the _seam builds.
set(BFN_SEAM_LIBRARIES storage shell_services shell printing bookkeeping exchange bookkeeping_entry)

function(bfn_library name)
  cmake_parse_arguments(ARG "SEAM" "" "SOURCES;DEPS;DEFINES" ${ARGN})
  get_directory_property(claimed BFN_CLAIMED_SOURCES)
  if(ARG_SOURCES)
    list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_SOURCES})
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  foreach(source ${sources})
    if(source IN_LIST claimed)
      if(ARG_SOURCES)
        message(FATAL_ERROR "${source} is in two libraries of its folder (${name})")
      endif()
      list(REMOVE_ITEM sources ${source})
    endif()
  endforeach()
  if(NOT sources)
    message(FATAL_ERROR "Library ${name} has no sources in ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY BFN_CLAIMED_SOURCES ${sources})

  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  target_compile_definitions(${name} PUBLIC ${ARG_DEFINES})
  if(ARG_SEAM)
    set(seam_deps "")
    foreach(dep ${ARG_DEPS})
      if(dep IN_LIST BFN_SEAM_LIBRARIES)
        list(APPEND seam_deps ${dep}_seam)
      else()
        list(APPEND seam_deps ${dep})
      endif()
    endforeach()
    add_library(${name}_seam STATIC ${sources})
    target_include_directories(${name}_seam PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name}_seam PUBLIC ${seam_deps})
    target_compile_definitions(${name}_seam PUBLIC ${ARG_DEFINES} BFN_FILE_SEAM)
  endif()
endfunction()

function(bfn_tests name label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE BFN_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             BFN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(${name} PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 60)
endfunction()

# A GoogleTest program over windows: links Qt, makes its own QApplication with Qt's Swedish
# texts (tests/support QtTestMain.cpp, shell_ui) and runs on the offscreen platform, so it
# needs no display.
function(bfn_qt_tests name label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} shell_ui Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE BFN_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             BFN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(${name} PROPERTIES LABELS ${label} ENVIRONMENT QT_QPA_PLATFORM=offscreen
                       DISCOVERY_TIMEOUT 60)
endfunction()

# The libFuzzer program fuzz_<name> of fuzz_<name>.cpp in the calling folder (tests/X/fuzz),
# linked to the library it fuzzes, and its CTest test (label fuzz): seconds long from a
# corpus of its own and the seeds kept in tests/X/data/fuzz/<name>. An input that finds a
# fault is left as found-<name>-* in the build folder, to be kept with the seeds. Further
# libFuzzer options (-max_len=N) follow OPTIONS.
function(bfn_fuzz_target name library seconds)
  cmake_parse_arguments(ARG "" "" "OPTIONS" ${ARGN})
  add_executable(fuzz_${name} fuzz_${name}.cpp)
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_link_libraries(fuzz_${name} PRIVATE ${library})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus-${name})
  file(MAKE_DIRECTORY ${corpus})
  get_filename_component(seeds ${CMAKE_CURRENT_SOURCE_DIR}/../data/fuzz/${name} ABSOLUTE)
  add_test(NAME fuzz_${name}
           COMMAND fuzz_${name} -max_total_time=${seconds} -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512
                   ${ARG_OPTIONS} -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/found-${name}- ${corpus} ${seeds})
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz)
endfunction()
