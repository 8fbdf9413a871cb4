# Run by ctest (cmake -P): the floors of the house hold. Each case preprocesses
# a one-line file with the flags of one library's own sources and checks
# whether a header is reached: what the library links is, anything beyond
# its floor is not. The include check of the build is tried on a relative
# include as well.
#   -DBUILD_DIR=<build tree> -DSOURCE_DIR=<top of the tree>

file(READ ${BUILD_DIR}/compile_commands.json commands)
string(JSON count LENGTH "${commands}")
math(EXPR last "${count} - 1")

# The compiler and flags of the source's library, without input and output.
function(flags_of source out)
  foreach(i RANGE ${last})
    string(JSON file GET "${commands}" ${i} file)
    if(file STREQUAL "${SOURCE_DIR}/${source}")
      string(JSON command GET "${commands}" ${i} command)
      separate_arguments(args UNIX_COMMAND "${command}")
      set(flags)
      set(skip FALSE)
      foreach(arg IN LISTS args)
        if(skip)
          set(skip FALSE)
        elseif(arg MATCHES "^(-o|-c|-MF|-MT)$")
          set(skip TRUE)
        elseif(NOT arg MATCHES "(ccache$|^-MD$)")
          list(APPEND flags "${arg}")
        endif()
      endforeach()
      set(${out} "${flags}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${source} is not compiled by this build")
endfunction()

set(probe_dir ${BUILD_DIR}/layers-test)
file(MAKE_DIRECTORY ${probe_dir})
set(failures)

# expect(<source> <REACHED|REFUSED> <header>...)
function(expect source verdict)
  flags_of(${source} flags)
  foreach(header IN LISTS ARGN)
    file(WRITE ${probe_dir}/probe.cpp "#include \"${header}\"\n")
    execute_process(COMMAND ${flags} -E -o ${probe_dir}/probe.i ${probe_dir}/probe.cpp
      WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE result ERROR_VARIABLE error)
    if(verdict STREQUAL "REACHED" AND NOT result EQUAL 0)
      list(APPEND failures "${source} cannot include ${header}:\n${error}")
    elseif(verdict STREQUAL "REFUSED" AND (result EQUAL 0 OR NOT error MATCHES "No such file"))
      list(APPEND failures "${source} may include ${header}, which lies beyond its floor")
    endif()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

# The engine: the filter graph's interfaces and window messages, nothing of
# dialogs, message boxes, the modal interface, Qt or GStreamer; the user is
# reached through its message helpers alone.
expect(engine/conversion_graph.cpp REACHED
  platform/dshow/graph_interfaces.h platform/ui/message_port.h engine/engine_messages.h
  resources/resource_ids.h)
expect(engine/conversion_graph.cpp REFUSED
  platform/ui/modal_ui.h platform/ui/message_boxes.h platform/ui/dialog.h i18n/language.h
  options/output_formats.h app/window/reelcast_dlg.h resources/dialog_templates.h
  platform/dshow/filter_element.h platform/gst/gst_handle.h QWidget gst/gst.h)
expect(engine/engine_messages.cpp REACHED platform/ui/modal_ui.h i18n/language.h)
# Options: the engine and the property pages, not the application or GStreamer.
expect(options/dialog_output_settings.cpp REACHED
  options/settings_store.h engine/graph_context.h platform/dshow/property_pages.h)
expect(options/dialog_output_settings.cpp REFUSED
  app/window/reelcast_dlg.h platform/dshow/filter_element.h gst/gst.h QWidget)
expect(i18n/language.cpp REFUSED engine/graph_context.h options/output_formats.h app/window/reelcast_dlg.h)
expect(resources/dialog_100.cpp REFUSED i18n/language.h engine/graph_context.h)
# The application: the command line drives the window, which knows nothing
# of it; what both show knows neither.
expect(app/command_line/convert_session.cpp REACHED
  app/window/reelcast_dlg.h app/shared/status_texts.h)
expect(app/window/reelcast_dlg.cpp REACHED app/shared/status_texts.h)
expect(app/window/reelcast_dlg.cpp REFUSED
  app/command_line/convert_options.h app/command_line/console_modal_ui.h)
expect(app/shared/status_texts.cpp REFUSED
  app/window/reelcast_dlg.h app/command_line/convert_options.h)
# The platform knows nothing of the system, and its folders use only those
# below them.
expect(platform/dshow/filter_graph.cpp REACHED
  platform/vfw/kept_configuration.h platform/gst/gst_handle.h platform/ui/modal_ui.h)
expect(platform/dshow/filter_graph.cpp REFUSED
  app/window/reelcast_dlg.h engine/graph_context.h options/output_formats.h i18n/language.h)
expect(platform/vfw/codec_manager.cpp REFUSED platform/dshow/graph_interfaces.h app/window/reelcast_dlg.h)
expect(platform/gst/pipeline/branch.cpp REACHED platform/property/property_set.h)
expect(platform/gst/pipeline/branch.cpp REFUSED
  platform/ui/modal_ui.h platform/ui/property_editor.h platform/dshow/graph_interfaces.h
  platform/vfw/vfw.h)
expect(platform/ui/dialog.cpp REFUSED platform/dshow/graph_interfaces.h platform/gst/gst_handle.h)
expect(platform/profile/app_profile.cpp REFUSED platform/ui/dialog.h)
expect(platform/com/guid.cpp REFUSED platform/text/utf8.h platform/ui/win_constants.h)

# A path relative to the including file is refused before anything compiles.
file(WRITE ${probe_dir}/climbing.cpp "#include \"../ui/modal_ui.h\"\n")
file(WRITE ${probe_dir}/files.txt "${probe_dir}/climbing.cpp\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DFILE_LIST=${probe_dir}/files.txt
  -P ${SOURCE_DIR}/cmake/CheckIncludes.cmake RESULT_VARIABLE result ERROR_QUIET)
if(result EQUAL 0)
  list(APPEND failures "the include check let \"../ui/modal_ui.h\" pass")
endif()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
