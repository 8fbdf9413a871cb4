#pragma once
// A dialog described as data: caption, font, size in dialog units and its
// controls in template (tab) order. Style bits use the values of the
// platform the templates were designed on.

#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
  PushButton,
  Static,  // text label
  Icon,    // static picture of the application icon
  Edit,
  ComboBox,  // drop-down list
  ListBox,
  ProgressBar,  // 0 to 100, with a text of its own on the bar
};

// Window styles.
constexpr unsigned WS_VISIBLE = 0x10000000;
constexpr unsigned WS_DISABLED = 0x08000000;
constexpr unsigned WS_VSCROLL = 0x00200000;
constexpr unsigned WS_TABSTOP = 0x00010000;
constexpr unsigned WS_POPUP = 0x80000000;
constexpr unsigned WS_CAPTION = 0x00C00000;
constexpr unsigned WS_SYSMENU = 0x00080000;
constexpr unsigned WS_MINIMIZEBOX = 0x00020000;
constexpr unsigned DS_MODALFRAME = 0x00000080;
constexpr unsigned DS_SETFONT = 0x00000040;
constexpr unsigned WS_EX_APPWINDOW = 0x00040000;
// Button styles.
constexpr unsigned BS_DEFPUSHBUTTON = 0x00000001;
// Static styles.
constexpr unsigned SS_CENTER = 0x00000001;
constexpr unsigned SS_NOPREFIX = 0x00000080;
constexpr unsigned SS_CENTERIMAGE = 0x00000200;
constexpr unsigned SS_SUNKEN = 0x00001000;
// Edit styles.
constexpr unsigned ES_CENTER = 0x00000001;
constexpr unsigned ES_AUTOHSCROLL = 0x00000080;
// List box styles.
constexpr unsigned LBS_NOTIFY = 0x00000001;
constexpr unsigned LBS_SORT = 0x00000002;

// Unnamed static controls carry this id.
constexpr int IDC_STATIC = 65535;

struct ControlTemplate {
  int id = IDC_STATIC;
  ControlKind kind = ControlKind::Static;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  unsigned style = WS_VISIBLE;
  std::vector<std::string> items;  // initial items of a combo box
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  std::string fontFace;
  int pointSize = 8;
  int cx = 0, cy = 0;  // client area, dialog units
  unsigned style = 0;
  unsigned exStyle = 0;
  std::vector<ControlTemplate> controls;
};

}  // namespace ui
