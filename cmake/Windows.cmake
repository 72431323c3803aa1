# The plug-in DLL, its test browser and the Windows test programs.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE_OFF)
# No toolchain DLL at run time: libgcc, libstdc++ and winpthread go in statically.
set(static_runtime -static -static-libgcc -static-libstdc++)
set(win_libs user32 gdi32 comdlg32 comctl32 advapi32 shell32 ole32 oleaut32 uuid
    version winmm vfw32 msimg32 windowscodecs gdiplus mpr)

file(GLOB_RECURSE rc_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc)
# windres reports no dependencies: the script is rebuilt whenever any resource file changes.
file(GLOB_RECURSE rc_parts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rci ${CMAKE_SOURCE_DIR}/resources/*.h
     ${CMAKE_SOURCE_DIR}/resources/*.bmp ${CMAKE_SOURCE_DIR}/resources/*.cur ${CMAKE_SOURCE_DIR}/resources/*.ico
     ${CMAKE_SOURCE_DIR}/resources/*.pal)
set_source_files_properties(${rc_files} PROPERTIES OBJECT_DEPENDS "${rc_parts}")
add_compile_definitions(LOOM_WINDOWS=1)
loom_add_layers(loom_layers FALSE)
add_library(loom_resources OBJECT ${rc_files})
# The launcher of stand-alone stacks (tools/launcher) is a resource of the plug-in: built first.
add_dependencies(loom_resources launcher)
target_include_directories(loom_resources PRIVATE ${CMAKE_BINARY_DIR}/tools/launcher)
set_property(SOURCE ${rc_files} APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/tools/launcher/launcher.exe)
loom_layer_objects(loom_layer_objs ${loom_layers} loom_resources)

# The imaging library vic32.dll, exported undecorated. It lands in this folder beside nploom.dll,
# the test browser and the test programs: a program finds its imports in its own folder first,
# and a plug-in loaded by full path with the altered search path (as browsers and the test
# browser load it) in the plug-in's folder.
loom_add_own_dlls(FALSE)
target_link_options(vic32 PRIVATE ${static_runtime})
target_link_libraries(vic32 PRIVATE ole32 oleaut32 uuid windowscodecs gdi32)
# Our stand-in for QuickTime for Windows, "QuickTime.qts" beside nploom.dll: the plug-in loads it
# at run time, so it is built with the plug-in but never imported.
# What the stand-in draws, plays and decodes with.
set(quicktime_system_libs gdi32 user32 ole32 oleaut32 uuid windowscodecs winmm msvfw32 avifil32)
target_link_options(quicktime PRIVATE ${static_runtime} -Wl,--kill-at)
target_link_libraries(quicktime PRIVATE ${quicktime_system_libs})
set_target_properties(quicktime PROPERTIES OUTPUT_NAME QuickTime SUFFIX ".qts")
# The whole of it once more but its entry and exports, for the player's fallback and the tests
# that drive the binding over it in-process.
file(GLOB quicktime_standin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/quicktime/dll/*.cpp)
list(FILTER quicktime_standin_sources EXCLUDE REGEX "/QtDll_win\\.cpp$")
add_library(quicktime_standin STATIC ${quicktime_standin_sources})
target_link_libraries(quicktime_standin PUBLIC ${quicktime_system_libs})
target_include_directories(quicktime_standin PRIVATE ${CMAKE_BINARY_DIR}/layer-views/quicktime)

# Everything of the plug-in but its exports: what the DLL, the tools and the test programs link,
# with the import library of vic32.dll.
add_library(loom INTERFACE)
target_sources(loom INTERFACE ${loom_layer_objs})
target_include_directories(loom INTERFACE ${CMAKE_SOURCE_DIR})
target_link_libraries(loom INTERFACE ${win_libs} vic32)

add_library(nploom SHARED ${CMAKE_SOURCE_DIR}/host/browser/nploom.def)
set_target_properties(nploom PROPERTIES PREFIX "" OUTPUT_NAME nploom)
# The plug-in imports vic32.dll whether or not a caller has been linked in yet, so that a
# missing library shows when the plug-in loads, as it did in the product.
target_link_options(nploom PRIVATE ${static_runtime} -Wl,--kill-at -Wl,--enable-stdcall-fixup
                    -Wl,--undefined=_setupimgdes)
target_link_libraries(nploom PRIVATE loom)
add_dependencies(nploom quicktime)

# The test browser: its core (options, plug-in host, streams, screenshots) is a library that
# tests also link, to browse the plug-in code linked into the test program itself.
file(GLOB browser_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/testbrowser/*.cpp)
set(browser_main ${CMAKE_SOURCE_DIR}/tools/testbrowser/BrowserWindow_win.cpp)
list(REMOVE_ITEM browser_sources ${browser_main})
add_library(testbrowser_core STATIC ${browser_sources})
target_include_directories(testbrowser_core PUBLIC ${CMAKE_SOURCE_DIR}/tools/testbrowser ${CMAKE_SOURCE_DIR})
add_executable(testbrowser ${browser_main})
target_link_options(testbrowser PRIVATE ${static_runtime})
target_link_libraries(testbrowser PRIVATE testbrowser_core ${win_libs})

file(GLOB tool_dirs LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tools/*)
foreach(tool_dir IN LISTS tool_dirs)
  if(EXISTS ${tool_dir}/CMakeLists.txt)
    add_subdirectory(${tool_dir})
  endif()
endforeach()
# Tools are built in folders of their own: each gets a copy of vic32.dll beside it, renewed
# whenever the DLL is linked again.
foreach(tool_dir IN LISTS tool_dirs)
  if(NOT EXISTS ${tool_dir}/CMakeLists.txt)
    continue()
  endif()
  get_directory_property(tool_targets DIRECTORY ${tool_dir} BUILDSYSTEM_TARGETS)
  foreach(tool IN LISTS tool_targets)
    get_target_property(tool_type ${tool} TYPE)
    if(tool_type STREQUAL "EXECUTABLE")
      add_custom_command(TARGET vic32 POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:vic32> $<TARGET_FILE_DIR:${tool}>)
    endif()
  endforeach()
endforeach()

# GoogleTest from Debian's source tree, built with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
# What the tests run beside the plug-in (stand-in plug-in, probes, test modules, the player), which
# the tools' folders list; the demo's build needs none of it.
get_property(test_helpers GLOBAL PROPERTY LOOM_TEST_HELPERS)
# The JSON reader the tests read the report tool's output with (Debian's nlohmann-json3-dev, a
# header-only library): its folder alone is linked into the build, so the cross compiler sees
# none of this machine's other headers.
find_path(LOOM_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
if(NOT EXISTS ${CMAKE_BINARY_DIR}/json-include/nlohmann)
  file(CREATE_LINK ${LOOM_JSON_INCLUDE}/nlohmann ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
endif()
add_library(json_reader INTERFACE)
target_include_directories(json_reader SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
# The tests' shared helpers, compiled once for every test program, seeing what those programs see.
add_library(loom_test_support OBJECT ${test_support})
target_include_directories(loom_test_support PRIVATE
  $<TARGET_PROPERTY:json_reader,INTERFACE_INCLUDE_DIRECTORIES>
  $<TARGET_PROPERTY:testbrowser_core,INTERFACE_INCLUDE_DIRECTORIES>
  $<TARGET_PROPERTY:loom,INTERFACE_INCLUDE_DIRECTORIES>
  $<TARGET_PROPERTY:loom_builder_lib,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(loom_test_support PRIVATE gtest)
foreach(folder IN LISTS test_folders)
  if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/${folder} OR folder STREQUAL "support" OR folder STREQUAL "data")
    continue()
  endif()
  loom_test_sources(${folder} tests)
  if(NOT tests)
    continue()
  endif()
  add_executable(${folder}_tests ${tests} $<TARGET_OBJECTS:loom_test_support>)
  target_link_libraries(${folder}_tests PRIVATE gtest gtest_main testbrowser_core loom loom_builder_lib quicktime_standin json_reader)
  target_link_options(${folder}_tests PRIVATE ${static_runtime})
  add_test(NAME ${folder}_tests COMMAND ${WINE_RUN} $<TARGET_FILE:${folder}_tests>)
  set_tests_properties(${folder}_tests PROPERTIES
    ENVIRONMENT "LOOM_DLL=$<TARGET_FILE:nploom>;LOOM_TESTBROWSER=${CMAKE_BINARY_DIR}/testbrowser.exe;LOOM_SOURCE=${CMAKE_SOURCE_DIR};LOOM_BUILD=${CMAKE_BINARY_DIR}")
  add_dependencies(${folder}_tests nploom testbrowser ${test_helpers})
endforeach()

# Benchmarks of the plug-in linked into a program and hosted as the tests host it: each prints
# what it measures (never a timed test). Built on request: scripts/build.sh win loom_bench_win.
file(GLOB win_benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*_bench_win.cpp)
if(win_benches)
  add_executable(loom_bench_win EXCLUDE_FROM_ALL ${win_benches} $<TARGET_OBJECTS:loom_test_support>)
  target_link_libraries(loom_bench_win PRIVATE gtest testbrowser_core loom loom_builder_lib quicktime_standin json_reader)
  target_link_options(loom_bench_win PRIVATE ${static_runtime})
  add_dependencies(loom_bench_win nploom)
endif()
