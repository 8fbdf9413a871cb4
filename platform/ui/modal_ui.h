#pragma once
// Every modal interaction of the program goes through one replaceable
// interface: message boxes, modal dialogs, file and font dialogs, popup
// menus, property editors, and opening an address. The program installs the
// Qt implementation; tests install a scripted one; the command-line
// converter one that prints.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/log_font.h"
#include "platform/ui/win_constants.h"

namespace property {
class PropertySet;
}

namespace ui {

class Dialog;
class Menu;

struct FileDialogRequest {
  Dialog* owner = nullptr;
  std::string title;
  std::string initialFolder;
  std::string fileName;                                      // initial text of the name box
  std::vector<std::pair<std::string, std::string>> filters;  // description, pattern
  int filterIndex = 1;
  unsigned flags = 0;
};

constexpr unsigned OFN_READONLY = 0x00000001;
constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800;
constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;
constexpr unsigned OFN_EXPLORER = 0x00080000;

constexpr unsigned CF_SCREENFONTS = 0x00000001;
constexpr unsigned CF_INITTOLOGFONTSTRUCT = 0x00000040;

class ModalUi {
 public:
  virtual ~ModalUi() = default;

  // Returns IDOK, IDYES or IDNO.
  virtual int MessageBox(Dialog* owner, const std::string& text, const std::string& caption,
                         UINT flags) = 0;
  // Runs a dialog modally and returns the result given to EndDialog.
  virtual int RunModal(Dialog& dialog) = 0;
  virtual std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<LogFont> ChooseFont(Dialog* owner, const std::optional<LogFont>& initial,
                                            unsigned flags) = 0;
  // Shows a popup menu at a screen point; returns the chosen command or 0.
  virtual unsigned TrackPopupMenu(const Menu& menu, unsigned flags, int x, int y,
                                  Dialog* owner) = 0;
  // A modal editor of an object's properties; true when the user confirmed.
  virtual bool EditProperties(Dialog* owner, const std::string& caption,
                              property::PropertySet& object) = 0;
  // Opens a web address or a local document in the desktop's browser.
  virtual bool OpenAddress(const std::string& address) = 0;
};

// The interface in use; the program's main installs the implementation.
ModalUi& Modal();
// Installs an implementation and returns the previous one.
std::unique_ptr<ModalUi> SetModal(std::unique_ptr<ModalUi> modal);

}  // namespace ui
