// The filter properties dialog, shown on a built MP4 graph before it runs.

#include "platform/ui/win_constants.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

ui::DialogTemplate FilterPropertiesDialogTemplate() {
  using ui::ControlKind;
  ui::DialogTemplate t;
  t.id = IDD_DIALOG_FILTER_PROPERTY;
  t.caption = "Set Filter's Properties";
  t.fontFace = "MS Sans Serif";
  t.pointSize = 8;
  t.cx = 187;
  t.cy = 196;
  t.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME | ui::DS_SETFONT;
  t.controls = {
      {IDC_LIST_FILTERS,
       ControlKind::ListBox,
       "",
       7,
       7,
       173,
       159,
       ui::WS_VISIBLE | ui::WS_TABSTOP | ui::WS_VSCROLL | ui::LBS_NOTIFY,
       {}},
      {IDC_BUTTON_FILTER_SETTINGS,
       ControlKind::PushButton,
       "&Settings",
       13,
       175,
       66,
       14,
       ui::WS_VISIBLE | ui::WS_TABSTOP | ui::WS_DISABLED,
       {}},
      {IDCANCEL,
       ControlKind::PushButton,
       "&Continue",
       103,
       175,
       66,
       14,
       ui::WS_VISIBLE | ui::WS_TABSTOP,
       {}},
  };
  return t;
}
