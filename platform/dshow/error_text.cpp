#include "platform/dshow/error_text.h"

#include <cstdio>

#include "platform/dshow/errors.h"

namespace {

struct CodeText {
  HRESULT code;
  const char* text;
};

constexpr CodeText kTexts[] = {
    {S_OK, "Success."},
    {S_FALSE, "Success, with nothing to do."},
    {VFW_S_NO_MORE_ITEMS, "Reached the end of the list."},
    {VFW_S_DUPLICATE_NAME, "The filter was added under a modified name, as its name was taken."},
    {VFW_S_PARTIAL_RENDER, "Some of the streams in this file are in an unsupported format."},
    {VFW_S_VIDEO_NOT_RENDERED,
     "The video stream cannot be played: no suitable decoder is installed."},
    {VFW_S_AUDIO_NOT_RENDERED,
     "The audio stream cannot be played: no suitable decoder is installed."},
    {E_NOTIMPL, "Not implemented."},
    {E_NOINTERFACE, "No such interface supported."},
    {E_POINTER, "Invalid pointer."},
    {E_ABORT, "Operation aborted."},
    {E_FAIL, "Unspecified error."},
    {E_UNEXPECTED, "Catastrophic failure."},
    {E_ACCESSDENIED, "Access is denied."},
    {E_OUTOFMEMORY, "Not enough memory is available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {REGDB_E_CLASSNOTREG, "Class not registered: the component is not installed."},
    {CO_E_NOTINITIALIZED, "The component runtime has not been initialised."},
    {HRESULT_FILE_NOT_FOUND, "The system cannot find the file."},
    {HRESULT_FILENAME_TOO_LONG, "The file name or extension is too long."},
    {HRESULT_PATH_NOT_FOUND, "The system cannot find the path."},
    {HRESULT_FILE_EXISTS, "The file exists."},
    {HRESULT_WRITE_FAULT,
     "The output file could not be written: the disk may be full, the file too large, or the "
     "file or its folder was removed."},
    {VFW_E_INVALIDMEDIATYPE, "The media type is invalid."},
    {VFW_E_ALREADY_CONNECTED,
     "At least one of the pins involved in the operation is already connected."},
    {VFW_E_NO_ACCEPTABLE_TYPES, "There is no common media type between these pins."},
    {VFW_E_INVALID_DIRECTION, "Two pins of the same direction cannot be connected."},
    {VFW_E_NOT_CONNECTED, "The operation cannot be performed because the pins are not connected."},
    {VFW_E_RUNTIME_ERROR, "A run-time error occurred."},
    {VFW_E_NOT_FOUND, "An object or name was not found."},
    {VFW_E_CANNOT_CONNECT,
     "No combination of intermediate filters could be found to make the connection."},
    {VFW_E_CANNOT_RENDER, "No combination of filters could be found to render the stream."},
    {VFW_E_NOT_STOPPED,
     "The operation cannot be performed because the filter graph is not stopped."},
    {VFW_E_WRONG_STATE, "The operation cannot be performed in the current state."},
    {VFW_E_TYPE_NOT_ACCEPTED,
     "This media type is not accepted: an encoder or the container cannot take the stream."},
    {VFW_E_DUPLICATE_NAME, "A filter with this name is already in the graph."},
    {VFW_E_TIMEOUT, "A time-out has expired."},
    {VFW_E_INVALID_FILE_FORMAT, "The file format is invalid."},
    {VFW_E_UNKNOWN_FILE_TYPE, "The media type of this file is not recognized."},
    {VFW_E_CANNOT_LOAD_SOURCE_FILTER, "The source filter for this file could not be loaded."},
    {VFW_E_FILE_TOO_SHORT, "A file appeared to be incomplete."},
    {VFW_E_MEDIA_TIME_NOT_SET, "The duration of the media is not known."},
    {VFW_E_NO_DECOMPRESSOR, "Cannot convert a stream: no suitable decoder is installed."},
    {VFW_E_NOT_IN_GRAPH,
     "The operation cannot be performed on a filter that is not in the filter graph."},
    {VFW_E_UNSUPPORTED_STREAM, "Cannot play back the file: the format is not supported."},
};

}  // namespace

std::string AMGetErrorTextA(HRESULT code) {
  for (const CodeText& entry : kTexts)
    if (entry.code == code) return std::string(entry.text).substr(0, kMaxErrorText);
  char text[64];
  std::snprintf(text, sizeof text, "Unknown error 0x%08X.", static_cast<unsigned>(code));
  return text;
}
