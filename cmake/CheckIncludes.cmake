# Run by the build (cmake -P): fails when a file of the project includes a
# header by a path that climbs out of the tree's top ("../x.h") or by an
# absolute path. Such a path would reach headers that the file's library
# does not link; project headers are written from the top of the tree
# ("platform/ui/dialog.h") or, within one folder, by their name.
file(STRINGS ${FILE_LIST} files)
set(found)
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](\\.\\.|/|[^\">]*/\\.\\./)")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    list(APPEND found "${file}: ${line}")
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "Includes by a relative or absolute path:\n  ${text}\n"
    "Include project headers by their path from the top of the tree; a library "
    "that needs another's headers links it (cmake/ReelcastLayers.cmake).")
endif()
