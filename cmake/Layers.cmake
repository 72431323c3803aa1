# The layers of the plug-in, lowest first. A layer's code may include its own folder, the
# folders of the layers below it and resources/, and nothing else: each layer is compiled
# against a view of the tree (a folder of links under build/layer-views) that holds only those,
# so an include of a layer above fails to build. Where a lower layer needs an upper one, the
# upper one installs a callback.
#
# The stand-ins for platform pieces that do not exist here sit just above core: like the
# libraries they stand for, they know nothing of graphics, stacks or objects.
set(LOOM_LAYERS core quicktime vic32 graphics stack objects actions media paint logo spell host)

# Stand-ins that are DLLs of their own, as the libraries they stand for were (the plug-in
# imports them, the packager copies them): the layers above see the folder for its API header,
# but the sources in its dll/ sub-folder build only that DLL, never the plug-in's objects.
set(LOOM_OWN_DLLS vic32 quicktime)

# loom_add_layers(<out_var> <neutral_only>): one object library per layer that has sources,
# named loom_<layer>, each linking the layer below it. <out_var> receives the layer targets,
# lowest first.
function(loom_add_layers out_var neutral_only)
  set(view_root ${CMAKE_BINARY_DIR}/layer-views)
  set(allowed resources)
  set(below "")
  set(targets "")
  foreach(layer IN LISTS LOOM_LAYERS)
    list(APPEND allowed ${layer})
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${layer})
      continue()
    endif()
    set(view ${view_root}/${layer})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    foreach(dir IN LISTS allowed)
      if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${dir})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${view}/${dir} SYMBOLIC)
      endif()
    endforeach()
    # A path that climbs out of the file's own folder would get past the view.
    file(GLOB_RECURSE layer_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp ${CMAKE_SOURCE_DIR}/${layer}/*.h)
    foreach(layer_file IN LISTS layer_files)
      file(STRINGS ${layer_file} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*\\.\\./")
      if(climbing)
        message(FATAL_ERROR "${layer_file}: includes by a path through \"..\": ${climbing}")
      endif()
    endforeach()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${layer}/dll/")
    if(neutral_only)
      list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    endif()
    if(NOT sources)
      continue()
    endif()
    add_library(loom_${layer} OBJECT ${sources})
    target_include_directories(loom_${layer} PRIVATE ${view})
    if(below)
      target_link_libraries(loom_${layer} PUBLIC ${below})
    endif()
    set(below loom_${layer})
    list(APPEND targets loom_${layer})
  endforeach()
  set(${out_var} ${targets} PARENT_SCOPE)
endfunction()

# loom_add_own_dlls(<neutral_only>), after loom_add_layers: one target per LOOM_OWN_DLLS entry,
# named after it and compiled against its layer's view. The cross build makes the DLL from every
# source of <name>/dll/ and its <name>.def (the caller adds the system libraries); the native
# build makes a static library of the platform-neutral sources, for tests and fuzzers.
function(loom_add_own_dlls neutral_only)
  foreach(name IN LISTS LOOM_OWN_DLLS)
    set(dir ${CMAKE_SOURCE_DIR}/${name}/dll)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(neutral_only)
      list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
      add_library(${name} STATIC ${sources})
    else()
      add_library(${name} SHARED ${sources} ${dir}/${name}.def)
      set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/layer-views/${name})
  endforeach()
endfunction()

# The objects of every layer, as generator expressions.
function(loom_layer_objects out_var)
  set(objects "")
  foreach(target IN LISTS ARGN)
    list(APPEND objects $<TARGET_OBJECTS:${target}>)
  endforeach()
  set(${out_var} ${objects} PARENT_SCOPE)
endfunction()

# The picture codec is the hot loop of opening and saving a stack; its block of hash indices
# is only vectorised at -O3, so it is built that way in every configuration.
set_source_files_properties(${CMAKE_SOURCE_DIR}/graphics/Lzrw.cpp PROPERTIES COMPILE_OPTIONS "-O3")
