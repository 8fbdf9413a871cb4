// The output options dialog. Several controls share a position; the views
// of the output formats decide which of them are shown.

#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {
using ui::ControlKind;
constexpr unsigned kVisible = ui::WS_VISIBLE;
constexpr unsigned kTab = ui::WS_VISIBLE | ui::WS_TABSTOP;
constexpr unsigned kList = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::WS_VSCROLL;
constexpr unsigned kEdit = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::ES_AUTOHSCROLL;
}  // namespace

ui::DialogTemplate OutputOptionsDialogTemplate() {
  ui::DialogTemplate t;
  t.id = IDD_DIALOG_OUTPUT_OPTIONS;
  t.caption = "Output options";
  t.fontFace = "Microsoft Sans Serif";
  t.pointSize = 8;
  t.cx = 278;
  t.cy = 134;
  t.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME | ui::DS_SETFONT;
  t.controls = {
      {IDC_STATIC_OUTPUT_FORMAT, ControlKind::Static, "Output Format:", 7, 7, 66, 14, kVisible, {}},
      {IDC_COMBO_OUTPUT_FORMAT, ControlKind::ComboBox, "", 80, 7, 86, 177, kList, {}},
      {IDC_STATIC_OUTPUT_FILE, ControlKind::Static, "Output file:", 7, 27, 66, 14, kVisible, {}},
      {IDC_EDIT_OUTPUT_FILE, ControlKind::Edit, "", 80, 27, 126, 14, kEdit, {}},
      {IDC_BUTTON_BROWSE, ControlKind::PushButton, "Browse", 206, 27, 65, 14, kTab, {}},
      {IDC_STATIC_VIDEO_COMPRESSOR_BITRATE,
       ControlKind::Static,
       "Video encoding bitrate:",
       7,
       48,
       100,
       14,
       kVisible,
       {}},
      {IDC_EDIT_VIDEO_BITRATE, ControlKind::Edit, "", 114, 48, 89, 14, kEdit, {}},
      {IDC_STATIC_VIDEO_KBPS, ControlKind::Static, "Kbps", 213, 47, 53, 14, kVisible, {}},
      {IDC_STATIC_AUDIO_COMPRESSOR_BITRATE,
       ControlKind::Static,
       "Audio encoding bitrate:",
       7,
       68,
       100,
       14,
       kVisible,
       {}},
      {IDC_COMBO_AUDIO_BITRATE,
       ControlKind::ComboBox,
       "",
       114,
       69,
       90,
       159,
       kList,
       {"64", "128", "192", "320"}},
      {IDC_STATIC_AUDIO_KBPS, ControlKind::Static, "Kbps", 214, 69, 53, 14, kVisible, {}},
      {IDC_STATIC_VIDEO_COMPRESSOR,
       ControlKind::Static,
       "Video compressor:",
       7,
       49,
       66,
       14,
       kVisible,
       {}},
      {IDC_COMBO_VIDEO_COMPRESSOR, ControlKind::ComboBox, "", 80, 49, 126, 115, kList, {}},
      {IDC_BUTTON_VIDEO_CODEC_SETTINGS,
       ControlKind::PushButton,
       "Settings",
       205,
       48,
       66,
       14,
       kTab,
       {}},
      {IDC_STATIC_AUDIO_COMPRESSOR,
       ControlKind::Static,
       "Audio compressor:",
       7,
       69,
       66,
       14,
       kVisible,
       {}},
      {IDC_COMBO_AUDIO_COMPRESSOR, ControlKind::ComboBox, "", 80, 69, 126, 138, kList, {}},
      {IDC_STATIC_OPTIONS_NOTE,
       ControlKind::Static,
       "Note: some video and audio compressors may not work properly. For more detail, please read "
       "help.",
       7,
       91,
       264,
       29,
       kVisible,
       {}},
      {IDC_STATIC_RESOLUTION, ControlKind::Static, "Resolution:", 7, 49, 66, 14, kVisible, {}},
      {IDC_COMBO_RESOLUTION, ControlKind::ComboBox, "", 80, 49, 126, 137, kList, {}},
      {IDC_EDIT_WIDTH, ControlKind::Edit, "", 214, 49, 20, 14, kTab | ui::ES_CENTER, {}},
      {IDC_EDIT_HEIGHT, ControlKind::Edit, "", 248, 49, 22, 14, kTab | ui::ES_CENTER, {}},
      {IDC_STATIC_FRAME_RATE, ControlKind::Static, "Frame rate:", 7, 69, 66, 14, kVisible, {}},
      {IDC_COMBO_FRAME_RATE, ControlKind::ComboBox, "", 80, 69, 126, 90, kList, {}},
      {IDC_EDIT_FRAME_RATE, ControlKind::Edit, "", 214, 69, 36, 12, kEdit, {}},
      {IDC_STATIC_RESIZE_MODE, ControlKind::Static, "Resize mode:", 7, 89, 66, 14, kVisible, {}},
      {IDC_COMBO_RESIZE_MODE, ControlKind::ComboBox, "", 80, 89, 126, 35, kList, {}},
      {IDC_COMBO_VIDEO_CODECS, ControlKind::ComboBox, "", 80, 49, 126, 137, kList, {}},
      {IDC_BUTTON_OPTIONS_OK,
       ControlKind::PushButton,
       "OK",
       16,
       113,
       66,
       14,
       kTab | ui::BS_DEFPUSHBUTTON,
       {}},
      {IDC_BUTTON_OUTPUT_DEAULT, ControlKind::PushButton, "Default", 105, 113, 66, 14, kTab, {}},
      {IDC_BUTTON_OPTIONS_CANCEL, ControlKind::PushButton, "Cancel", 194, 113, 66, 14, kTab, {}},
  };
  return t;
}
