set(TOVRANE_LIBRARIES Foundation Graphics SceneGraph UI GLES1Renderer VendrixApplication Game)

# tovrane_library(Name dep...): a static library of every source in Libs/Name/Src.
function(tovrane_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/Libs/${name}/Src/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/Include)
  # Engine libraries that have no sources yet are left out of the link.
  set(deps)
  foreach(dep ${ARGN})
    if(TARGET ${dep} OR NOT dep IN_LIST TOVRANE_LIBRARIES)
      list(APPEND deps ${dep})
    endif()
  endforeach()
  target_link_libraries(${name} PUBLIC ${deps} Boost::boost)
endfunction()

# Every test, and the host programs it starts, checks for leaks in the
# sanitizer build; tests/lsan.supp leaves out the graphics driver's own.
# The sanitizers' watch on dynamic thread-local blocks stays off: for a block
# that starts 16 bytes into a page it takes the allocator's chunk header for a
# glibc block header, and the leak checker then scans a range near address 0
# and faults (Mesa's libraries use such blocks). glibc allocates those blocks
# with malloc, so the leak checker still sees them as ordinary heap.
set(TOVRANE_TEST_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:intercept_tls_get_addr=0")

# tovrane_tests(Folder dep...): one GoogleTest program of every source in
# tests/Folder and the folders below it; tests/project/Area becomes test_Area.
function(tovrane_tests folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  get_filename_component(name ${folder} NAME)
  set(target test_${name})
  set(deps)
  foreach(dep ${ARGN})
    if(TARGET ${dep} OR NOT dep IN_LIST TOVRANE_LIBRARIES)
      list(APPEND deps ${dep})
    endif()
  endforeach()
  add_executable(${target} ${sources} ${CMAKE_CURRENT_SOURCE_DIR}/support/TestEnvironment.cpp)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # tests/support (the shared scratch folder and Ogg tones) uses the tools' encoder.
  target_link_libraries(${target} PRIVATE ${deps} TovraneToolsSupport GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    TOVRANE_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TOVRANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${TOVRANE_TEST_ENVIRONMENT}")
endfunction()

# tovrane_fuzzer(name dep...): a libFuzzer target from tests/fuzz/name.cpp.
function(tovrane_fuzzer name)
  if(NOT TOVRANE_FUZZ)
    return()
  endif()
  add_executable(fuzz_${name} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${name}.cpp)
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
endfunction()
