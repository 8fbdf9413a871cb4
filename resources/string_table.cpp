#include "resources/string_table.h"

#include <map>

#include "resources/resource_ids.h"

std::optional<std::string> LoadBuiltInString(int id) {
  static const std::map<int, std::string> table = {
      {IDS_ABOUTBOX, "&About"},
      {IDS_LANGUAGE_IN_ENGLISH, "English"},
      {IDS_MESSAGE_ERROR, "Error"},
      {IDS_MESSAGE_WARNING, "Warning"},
      {IDS_MESSAGE_BROWSE_CAPTION, "Select Output File Name"},
      {IDS_MESSAGE_ORIGINAL_SIZE, "Original size"},
      {IDS_MESSAGE_CUSTOM_SIZE, "Custom size"},
      {IDS_MESSAGE_ORIGINAL_FRAME_SIZE, "Original frame rate"},
      {IDS_MESSAGE_CUSTOM_FRAME_SIZE, "Custom frame rate"},
      {IDS_MESSAGE_OUTPUT_FILE, "Output file:"},
      {IDS_MESSAGE_RESOLUTION, "Resolution:"},
      {IDS_MESSAGE_PRESERVE_ASPECT_RATIO, "Preserve aspect ratio"},
      {IDS_MESSAGE_RESIZE_STRETCH, "Stretch"},
      {IDS_MESSAGE_OPEN_FILE, "Open a video file"},
      {IDS_MESSAGE_OPTIONS, "Customize output options"},
      {IDS_MESSAGE_CONVERT, "Convert video"},
      {IDS_MESSAGE_NOT_OPEN_FILE,
       "Cannot open the file. You need to install appropriate decoders. Or the file is corrupt."},
      {IDS_MESSAGE_NO_DURATION, "Can not get the duration of the clip!"},
      {IDC_BUTTON_STOP, "Stop"},
      {IDC_BUTTON_CONVERT_TEXT, "Convert"},
      {IDS_MESSAGE_RESTART_PROGRAM, "Please restart the program"},
      {IDS_MESSAGE_FILE_EXIST, "exists. Do you want to replace it?"},
      {IDS_MESSAGE_STOP_CONVERT, "Please first stop converting"},
      {IDS_MESSAGE_CONVERSION_DONE, "Done"},
      {IDS_MESSAGE_TIME_LEFT, "Time left:"},
      {IDS_MESSAGE_PROGRESS, "Conversion progress"},
      {IDS_MESSAGE_NOTIFY_DONE, "Conversion done"},
      {IDS_MESSAGE_NOTIFY_FAILED, "Conversion failed"},
  };
  auto it = table.find(id);
  if (it == table.end()) return std::nullopt;
  return it->second;
}
