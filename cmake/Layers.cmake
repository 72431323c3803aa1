# The layers of the plug-in, lowest first. A layer is a folder or a sub-folder. A layer's code
# may include its own folder, the folders of the layers below it and resources/, and nothing
# else: each layer is compiled against a view of the tree (a folder of links under
# build/*/layer-views) that holds only those, so an include of a layer above fails to build.
# The top folders stand in the same order: the layers of one top folder are neighbours here, so a
# folder includes only the folders listed before it. Code sits in the lowest layer that sees
# everything it calls. What must still call upward
# goes through the lower layer's one interface (<Area>Upcalls), which the wiring step
# (host/wiring) fills at start-up; scripts/check-house.py checks the order and the rest of the
# house rules.
#
#   core                  handles, text, files and file slots, alerts, cursors, timers and
#                         message loops: what every layer uses, knowing none of them
#   quicktime, vic32      the stand-ins for QuickTime and the imaging library: like the
#                         libraries they stand for, they know nothing of stacks or objects
#   format                the stack file's records, reader and resource manager: the one
#                         definition of the format, which reads the colour tables it stores
#                         itself and needs nothing of the drawing code
#   graphics/dib          device-independent bitmaps in handles, BMP files
#   graphics/palette      the application palette, colours, nearest colour, patterns
#   graphics/pixels       pixel maps, depth conversion, the picture codecs, the card offscreen
#                         and the card picture's GDI side, reading card records by the format
#   graphics/masks        one-bit masks, lassos and the shape rasterizer
#   stack                 the card list, card pictures, open, save, undo and the clipboard, with
#                         the sizes and depths of a stack
#   layers                the layer list of the objects on the card, built from card records,
#                         and the current card's pending edits written back into its record
#   objects               buttons, icons, text fields, graphic objects, drawn in the layers
#   actions               actions, animation, timer buttons, modules
#   media/support         window wrappers of movies, pointer lists, rectangle placements, DIB
#                         holders: below the media elements, above the buttons they pass mouse to
#   media                 the media manager and elements, previews, dropped files
#   paint                 paint tools, selections, filters
#   cardview/transitions  the 29 transitions, run over the card's offscreen, giving the media
#                         their idle time
#   cardview/card         the card redraw: pictures, layers and transitions of a card, with the
#                         grid, text field windows, media elements and animation start frames
#                         of the subsystems below
#   cardview/colors       the colour choosers and the floating colours' layout, which edit the
#                         palette, the paint colours and the stack's depth
#   authoring             making and editing a card's objects as records (they call the
#                         object, action, media and paint code), by concern: buttons, graphics,
#                         animation and text (text info, links, new text) with their dialogs;
#                         cards (card import, ready-made cards, object files, object undo and
#                         the Undo menu, clipboard paste, media library drops, graphic files
#                         saved); info (the stack and card information dialogs). What it must
#                         ask of the host goes through authoring/AuthoringUpcalls.h
#   logo, spell           LoomLogo and the spelling checker
#   host/downloads        the browser's instances and function table, the download cache, the
#                         streams into it and the queue of files asked of the browser
#   host/state            what the plug-in keeps between messages: the preferences file and the
#                         user's preferences, the menu's option flags and the menu bar's lock,
#                         the card handler's latches
#   host/launching        programs, documents and addresses opened, with the user's consent
#   host/player           playing a stack: opening it through to its first card, moving between
#                         cards with their history, performing actions, replaying what waited
#                         for a download; it asks the palettes above through PlayerUpcalls
#   host/palettes         the tool palette and the current tool's cells, the floating colours,
#                         the navigation palette with its favourites, icon buttons and the
#                         palettes' places (they move between cards)
#   host/actions          the actions dialog, the card walk and transition dialogs, the actions
#                         menu of an object and the card's and stack's script commands (they
#                         call the navigation, the launch and address dialogs and the palettes)
#   host/dialogs          the about box, printing and the slide show, preferences
#   host/medialibrary     the Media Browser: the media library's window, its list, drags and
#                         preview pane (the record and services lie in media/library)
#   host/menus            the command dispatcher, the clipboard commands, shortcuts
#   host/window           the card window: its message handler, clicks, keys, paint, context
#                         menu, the periodic tick and the window services
#   host/requests         the host request services modules call (cards, fields, menus, ...)
#   host/wiring           the wiring step, which fills every lower layer's interface
#   host/browser          the browser's entry points: exports, instances, streams, attaching to
#                         the window and the start-up and release chains (they wire the layers)
set(LOOM_LAYERS core quicktime vic32 format
    graphics/dib graphics/palette graphics/pixels graphics/masks
    stack layers objects actions media/support media paint
    cardview/transitions cardview/card cardview/colors authoring logo spell
    host/downloads host/state host/launching host/player host/palettes host/actions host/dialogs host/medialibrary host/menus host/window
    host/requests host/wiring host/browser)

# Stand-ins that are DLLs of their own, as the libraries they stand for were (the plug-in
# imports them, the packager copies them): the layers above see the folder for its API header,
# but the sources in its dll/ sub-folder build only that DLL, never the plug-in's objects.
set(LOOM_OWN_DLLS vic32 quicktime)

# A layer is a folder (core) or a sub-folder (cardview/card). A folder's layer holds its files
# and its sub-folders except those that are layers of their own: media/ holds the media
# manager, elements and previews, while media/support lies below it.

# loom_layer_sources(<layer> <out_var> <neutral_only>): the layer's own .cpp files.
function(loom_layer_sources layer out_var neutral_only)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp)
  foreach(other IN LISTS LOOM_LAYERS)
    string(FIND "${other}" "${layer}/" at)
    if(at EQUAL 0)
      list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${other}/")
    endif()
  endforeach()
  list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${layer}/dll/")
  if(neutral_only)
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# loom_link_layer_into_view(<view> <layer>): the layer's folder appears in the view. A folder
# with sub-folder layers of its own is linked entry by entry, leaving those out (each is linked
# only into the views that may see it).
function(loom_link_layer_into_view view layer)
  set(nested "")
  foreach(other IN LISTS LOOM_LAYERS)
    string(FIND "${other}" "${layer}/" at)
    if(at EQUAL 0)
      list(APPEND nested ${other})
    endif()
  endforeach()
  get_filename_component(parent ${view}/${layer} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT nested)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer} ${view}/${layer} SYMBOLIC)
    return()
  endif()
  file(MAKE_DIRECTORY ${view}/${layer})
  file(GLOB entries RELATIVE ${CMAKE_SOURCE_DIR}/${layer} ${CMAKE_SOURCE_DIR}/${layer}/*)
  foreach(entry IN LISTS entries)
    if(NOT "${layer}/${entry}" IN_LIST nested)
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer}/${entry} ${view}/${layer}/${entry} SYMBOLIC)
    endif()
  endforeach()
endfunction()

# loom_add_layers(<out_var> <neutral_only>): one object library per layer that has sources,
# named loom_<layer> (loom_cardview_card for cardview/card), each linking the layer below it.
# <out_var> receives the layer targets, lowest first.
function(loom_add_layers out_var neutral_only)
  set(view_root ${CMAKE_BINARY_DIR}/layer-views)
  set(allowed "")
  set(below "")
  set(targets "")
  foreach(layer IN LISTS LOOM_LAYERS)
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${layer})
      message(FATAL_ERROR "LOOM_LAYERS names ${layer}, which is not a folder")
    endif()
    list(APPEND allowed ${layer})
    string(REPLACE "/" "_" name ${layer})
    set(view ${view_root}/${name})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/resources ${view}/resources SYMBOLIC)
    foreach(dir IN LISTS allowed)
      loom_link_layer_into_view(${view} ${dir})
    endforeach()
    # A path that climbs out of the file's own folder would get past the view.
    file(GLOB_RECURSE layer_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp ${CMAKE_SOURCE_DIR}/${layer}/*.h)
    foreach(layer_file IN LISTS layer_files)
      file(STRINGS ${layer_file} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*\\.\\./")
      if(climbing)
        message(FATAL_ERROR "${layer_file}: includes by a path through \"..\": ${climbing}")
      endif()
    endforeach()
    loom_layer_sources(${layer} sources ${neutral_only})
    if(NOT sources)
      continue()
    endif()
    add_library(loom_${name} OBJECT ${sources})
    target_include_directories(loom_${name} PRIVATE ${view})
    if(below)
      target_link_libraries(loom_${name} PUBLIC ${below})
    endif()
    set(below loom_${name})
    list(APPEND targets loom_${name})
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
    # Its layer's formats/ (readers both sides of the library share) are compiled in too.
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${name}/formats/*.cpp)
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
set_source_files_properties(${CMAKE_SOURCE_DIR}/graphics/pixels/Lzrw.cpp PROPERTIES COMPILE_OPTIONS "-O3")
