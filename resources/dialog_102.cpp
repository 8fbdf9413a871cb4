// The main window.

#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {
using ui::ControlKind;
constexpr unsigned kButton = ui::WS_VISIBLE | ui::WS_TABSTOP;
}  // namespace

ui::DialogTemplate MainDialogTemplate() {
  ui::DialogTemplate t;
  t.id = IDD_REELCAST_DIALOG;
  t.caption = "Reelcast";
  t.fontFace = "MS Sans Serif";
  t.pointSize = 8;
  t.cx = 287;
  // The progress bar below the template's controls makes the window taller.
  t.cy = 156;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::WS_CAPTION | ui::WS_SYSMENU | ui::WS_MINIMIZEBOX |
            ui::DS_MODALFRAME | ui::DS_SETFONT;
  t.exStyle = ui::WS_EX_APPWINDOW;
  t.controls = {
      {IDC_BUTTON_EXIT, ControlKind::PushButton, "Exit", 214, 106, 66, 26, kButton, {}},
      {IDC_STATIC_DURATION,
       ControlKind::Static,
       "",
       8,
       41,
       273,
       16,
       ui::WS_VISIBLE | ui::SS_CENTER | ui::SS_CENTERIMAGE | ui::SS_SUNKEN,
       {}},
      {IDC_BUTTON_ADD_VIDEO, ControlKind::PushButton, "Open Video", 7, 7, 66, 26, kButton, {}},
      {IDC_BUTTON_CONVERT, ControlKind::PushButton, "Convert", 145, 7, 66, 26, kButton, {}},
      {IDC_BUTTON_BUILD_FILTERS,
       ControlKind::PushButton,
       "Build Filters",
       7,
       55,
       28,
       14,
       kButton,
       {}},
      {IDC_STATIC_SUMMARY,
       ControlKind::Static,
       "",
       7,
       68,
       273,
       28,
       ui::WS_VISIBLE | ui::SS_SUNKEN,
       {}},
      {IDC_BUTTON_OUTPUT_SETTINGS, ControlKind::PushButton, "Options", 76, 7, 66, 25, kButton, {}},
      {IDC_BUTTON_HELP, ControlKind::PushButton, "Help", 214, 7, 66, 26, kButton, {}},
      {IDC_BUTTON_HOMEPAGE, ControlKind::PushButton, "Homepage", 76, 106, 66, 26, kButton, {}},
      {IDC_BUTTON_ABOUT, ControlKind::PushButton, "About", 145, 106, 66, 26, kButton, {}},
      {IDC_PROGRESS_CONVERSION, ControlKind::ProgressBar, "", 7, 139, 273, 11, ui::WS_VISIBLE, {}},
  };
  return t;
}
