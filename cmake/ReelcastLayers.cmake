# The floors of the house: one library per layer, each linking only what it
# may use.
#
# A library sees the headers of itself and of the libraries it links, and
# nothing else. Its include directory is not the source tree but a folder
# of the build tree, include/<library>, that holds links to its own source
# folders (or single headers): "engine/x.h" is found only by code that links
# reelcast_engine, "platform/ui/dialog.h" only by code that links
# reelcast_platform_ui. An include across a forbidden edge fails to compile
# with "No such file or directory"; the remedy is never a longer path but a
# line in this file, where the edge is then plain for everybody to see.
# GStreamer and Qt are linked PRIVATE where they are used, so the system's
# layers cannot reach their headers either.
#
# PUBLIC lists what a library's headers include, PRIVATE what only its
# sources include.

set(REELCAST_VIEWS ${CMAKE_BINARY_DIR}/include)

# The one way around the views would be a path relative to the including
# file ("../ui/dialog.h"); every build refuses those before compiling.
set(reelcast_checked_files)
foreach(folder app options i18n engine resources platform tests bench)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  list(APPEND reelcast_checked_files ${found})
endforeach()
list(JOIN reelcast_checked_files "\n" reelcast_checked_text)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/include-check/files.txt
  CONTENT "${reelcast_checked_text}\n")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/include-check/passed
  COMMAND ${CMAKE_COMMAND} -DFILE_LIST=${CMAKE_BINARY_DIR}/include-check/files.txt
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/include-check/passed
  DEPENDS ${reelcast_checked_files} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
  COMMENT "Checking that includes are written from the top of the tree")
add_custom_target(reelcast_include_check DEPENDS ${CMAKE_BINARY_DIR}/include-check/passed)

# reelcast_view(<target> <PUBLIC|PRIVATE|INTERFACE> <path>...)
# Gives <target> an include directory that holds links to the paths
# (folders or headers, relative to the top of the tree), and only to them.
function(reelcast_view target scope)
  set(view ${REELCAST_VIEWS}/${target})
  file(REMOVE_RECURSE ${view})
  set(linked)
  foreach(path IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${path})
      message(FATAL_ERROR "${target}: ${path} does not exist")
    endif()
    # A folder inside one already linked is seen through that link.
    set(inside FALSE)
    foreach(folder IN LISTS linked)
      string(FIND "${path}/" "${folder}/" at)
      if(at EQUAL 0)
        set(inside TRUE)
      endif()
    endforeach()
    if(inside)
      continue()
    endif()
    list(APPEND linked ${path})
    get_filename_component(parent ${view}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${path} ${view}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${view})
endfunction()

# reelcast_library(<target> FOLDERS <folder>... [EXCLUDE <regex>]
#                  [PUBLIC <library>...] [PRIVATE <library>...])
# reelcast_library(<target> SOURCES <file>... HEADERS <header>... ...)
# A static library of the .cpp files of the folders (EXCLUDE drops the files
# whose path matches) that shows the whole folders; or one of single files
# that shows only the headers listed. Without sources it is an interface
# library: headers only.
function(reelcast_library target)
  cmake_parse_arguments(arg "" "EXCLUDE" "FOLDERS;SOURCES;HEADERS;PUBLIC;PRIVATE" ${ARGN})
  set(sources)
  foreach(folder IN LISTS arg_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()
  foreach(file IN LISTS arg_SOURCES)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/${file})
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    add_dependencies(${target} reelcast_include_check)
    reelcast_view(${target} PUBLIC ${arg_FOLDERS} ${arg_HEADERS})
    target_link_libraries(${target} PUBLIC reelcast_build_flags ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  else()
    add_library(${target} INTERFACE)
    reelcast_view(${target} INTERFACE ${arg_FOLDERS} ${arg_HEADERS})
    target_link_libraries(${target} INTERFACE ${arg_PUBLIC})
    if(arg_PRIVATE)
      message(FATAL_ERROR "${target}: a library of headers only has nothing private")
    endif()
  endif()
endfunction()

# --- Platform stand-ins: know nothing of the system. One library per
# folder; a folder uses only the folders below it here.
reelcast_library(reelcast_platform_com FOLDERS platform/com)
reelcast_library(reelcast_platform_property FOLDERS platform/property)
reelcast_library(reelcast_platform_text FOLDERS platform/text PRIVATE PkgConfig::GLIB)
reelcast_library(reelcast_platform_shell FOLDERS platform/shell
  PRIVATE Qt6::Core Qt6::DBus)
reelcast_library(reelcast_platform_profile FOLDERS platform/profile
  PRIVATE reelcast_platform_shell reelcast_platform_text Qt6::Core)
# ThreadSanitizer's view of the order other libraries give between threads.
reelcast_library(reelcast_platform_threads HEADERS platform/threads/thread_order.h)
reelcast_library(reelcast_platform_ui FOLDERS platform/ui
  PRIVATE reelcast_platform_property reelcast_platform_text reelcast_platform_threads Qt6::Widgets)
# What code without windows of its own may know of the window system: the
# posted messages a window receives.
reelcast_library(reelcast_platform_window_messages
  HEADERS platform/ui/win_constants.h platform/ui/message_port.h)
reelcast_library(reelcast_platform_gst FOLDERS platform/gst platform/gst/pipeline
  platform/gst/encoders platform/gst/formats platform/gst/workarounds
  platform/gst/workarounds/input platform/gst/workarounds/encoder platform/gst/workarounds/output
  platform/gst/parallel
  PUBLIC reelcast_platform_property reelcast_platform_threads
  PRIVATE reelcast_platform_com PkgConfig::GST)
reelcast_library(reelcast_platform_wmf FOLDERS platform/wmf
  PUBLIC reelcast_platform_com)
reelcast_library(reelcast_platform_vfw FOLDERS platform/vfw
  PUBLIC reelcast_platform_property
  PRIVATE reelcast_platform_gst reelcast_platform_ui PkgConfig::GST)
reelcast_library(reelcast_platform_dshow FOLDERS platform/dshow
  PUBLIC reelcast_platform_com reelcast_platform_window_messages
  PRIVATE reelcast_platform_gst reelcast_platform_text reelcast_platform_ui reelcast_platform_vfw
          reelcast_platform_wmf PkgConfig::GST)

# --- The system: written in its own vocabulary, on top of the platform.
reelcast_library(reelcast_resources FOLDERS resources
  PUBLIC reelcast_platform_ui)
# The numbers and addresses of the resources, without the dialog templates
# (and so without the window system).
reelcast_library(reelcast_resource_ids
  HEADERS resources/resource_ids.h resources/vendor_info.h)
reelcast_library(reelcast_i18n FOLDERS i18n
  PUBLIC reelcast_platform_ui
  PRIVATE reelcast_resources reelcast_platform_profile reelcast_platform_shell reelcast_platform_text)
# The engine talks to the user only through its message helpers: they alone
# may use message boxes, the modal interface and the language's texts.
reelcast_library(reelcast_engine_messages
  SOURCES engine/engine_messages.cpp HEADERS engine/engine_messages.h
  PRIVATE reelcast_i18n reelcast_platform_shell reelcast_platform_text reelcast_platform_ui
          reelcast_resource_ids)
reelcast_library(reelcast_engine FOLDERS engine EXCLUDE "/engine_messages\\.cpp$"
  PUBLIC reelcast_platform_dshow reelcast_platform_wmf
  PRIVATE reelcast_engine_messages reelcast_platform_text reelcast_resource_ids)
reelcast_library(reelcast_options FOLDERS options
  PUBLIC reelcast_engine reelcast_platform_ui reelcast_platform_vfw
  PRIVATE reelcast_i18n reelcast_resources reelcast_platform_profile reelcast_platform_shell
          reelcast_platform_text)
# The application is two programs: the window, and the command line that
# drives the window's own commands (and starts itself for many files). What
# both show (elapsed time, progress, help texts) lies in app/shared. The
# window sees nothing of the command line. The programs' main functions
# (*main.cpp) are part of no library.
reelcast_library(reelcast_app_shared FOLDERS app/shared
  PUBLIC reelcast_platform_shell
  PRIVATE reelcast_i18n reelcast_resource_ids)
reelcast_library(reelcast_window FOLDERS app/window EXCLUDE "/main\\.cpp$"
  PUBLIC reelcast_app_shared reelcast_engine reelcast_options reelcast_platform_shell
         reelcast_platform_ui
  PRIVATE reelcast_i18n reelcast_resources reelcast_platform_profile reelcast_platform_text)
# The command line also lists the mends of the media layer it runs on.
reelcast_library(reelcast_command_line FOLDERS app/command_line EXCLUDE "/([a-z_]+_)?main\\.cpp$"
  PUBLIC reelcast_window
  PRIVATE reelcast_i18n reelcast_resources reelcast_platform_gst reelcast_platform_profile
          reelcast_platform_text)
