// The About box.

#include "platform/ui/win_constants.h"
#include "resources/build_info.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {

using ui::ControlKind;

// The home page address configured for the build, or where the program's
// own pages are reached.
std::string SupportLine() {
  return std::string("Support: ") +
         (*kConfiguredHomePage ? kConfiguredHomePage : "Help and the Homepage button");
}

}  // namespace

ui::DialogTemplate AboutDialogTemplate() {
  ui::DialogTemplate t;
  t.id = IDD_ABOUTBOX;
  t.caption = "About";
  t.fontFace = "MS Sans Serif";
  t.pointSize = 8;
  t.cx = 236;
  t.cy = 153;
  t.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME | ui::DS_SETFONT;
  t.controls = {
      {ui::IDC_STATIC, ControlKind::Icon, "", 11, 17, 20, 20, ui::WS_VISIBLE, {}},
      {IDC_STATIC_PRODUCT_CAPTION,
       ControlKind::Static,
       "Reelcast",
       56,
       10,
       173,
       17,
       ui::WS_VISIBLE | ui::SS_NOPREFIX,
       {}},
      {ui::IDC_STATIC,
       ControlKind::Static,
       "Copyright (C) Tarnwick. Reelcast is provided as is, without warranty of any kind.",
       56,
       50,
       173,
       26,
       ui::WS_VISIBLE,
       {}},
      {IDOK,
       ControlKind::PushButton,
       "OK",
       92,
       132,
       50,
       14,
       ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON,
       {}},
      {IDC_STATIC_VERSION,
       ControlKind::Static,
       "Version 1.1",
       56,
       30,
       173,
       14,
       ui::WS_VISIBLE | ui::SS_CENTERIMAGE,
       {}},
      {ui::IDC_STATIC,
       ControlKind::Static,
       SupportLine(),
       56,
       80,
       156,
       14,
       ui::WS_VISIBLE | ui::SS_NOPREFIX,
       {}},
      {ui::IDC_STATIC,
       ControlKind::Static,
       "Windows Media audio and video are written with FFmpeg's libav encoders through "
       "GStreamer.",
       56,
       100,
       173,
       25,
       ui::WS_VISIBLE,
       {}},
  };
  return t;
}
