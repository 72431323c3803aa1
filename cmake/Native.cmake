# Platform-neutral code built for this machine, under AddressSanitizer and UBSan.
set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
if(LOOM_FUZZ)
  list(APPEND sanitize -fsanitize=fuzzer-no-link)
endif()
if(NOT LOOM_NO_SANITIZE)
  add_compile_options(${sanitize})
  add_link_options(-fsanitize=address,undefined)
endif()

# The platform-neutral code of every layer, each layer built against its own view, then one
# library of them all for tools, tests and fuzzers.
loom_add_layers(loom_layers TRUE)
loom_layer_objects(loom_layer_objs ${loom_layers})
add_library(loom_neutral STATIC ${loom_layer_objs})
target_include_directories(loom_neutral PUBLIC ${CMAKE_SOURCE_DIR})
# The platform-neutral half of vic32.dll, for its tests and fuzzers.
loom_add_own_dlls(TRUE)

file(GLOB tool_dirs LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tools/*)
foreach(tool_dir IN LISTS tool_dirs)
  if(EXISTS ${tool_dir}/CMakeLists.txt)
    add_subdirectory(${tool_dir})
  endif()
endforeach()

if(LOOM_FUZZ)
  # Fuzz targets only: clang with libFuzzer.
  file(GLOB_RECURSE fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  foreach(src IN LISTS fuzzers)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE loom_neutral ${LOOM_OWN_DLLS} loom_builder_lib)
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
find_package(benchmark QUIET)
# The tests' shared helpers, compiled once for every test program.
add_library(loom_test_support OBJECT ${test_support})
target_link_libraries(loom_test_support PRIVATE loom_neutral ${LOOM_OWN_DLLS} loom_builder_lib GTest::gtest)
foreach(folder IN LISTS test_folders)
  if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/${folder} OR folder STREQUAL "support"
     OR folder STREQUAL "data" OR folder STREQUAL "fuzz" OR folder STREQUAL "bench")
    continue()
  endif()
  loom_test_sources(${folder} tests)
  if(NOT tests)
    continue()
  endif()
  add_executable(${folder}_tests_native ${tests} $<TARGET_OBJECTS:loom_test_support>)
  target_link_libraries(${folder}_tests_native PRIVATE loom_neutral ${LOOM_OWN_DLLS} loom_builder_lib GTest::gtest GTest::gtest_main)
  add_test(NAME ${folder}_tests_native COMMAND ${folder}_tests_native)
  set_tests_properties(${folder}_tests_native PROPERTIES
    ENVIRONMENT "LOOM_SOURCE=${CMAKE_SOURCE_DIR};LOOM_BUILD=${CMAKE_BINARY_DIR}")
endforeach()

# Benchmarks: built natively without sanitizers would be ideal; they are built here and run on demand.
file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*_bench.cpp)
if(benches AND benchmark_FOUND)
  add_executable(loom_bench ${benches})
  target_link_libraries(loom_bench PRIVATE loom_neutral loom_builder_lib benchmark::benchmark benchmark::benchmark_main)
endif()
