#pragma once
// The modal interactions shown with Qt's own dialogs.

#include "platform/ui/modal_ui.h"

namespace ui {

class QtModalUi : public ModalUi {
 public:
  int MessageBox(Dialog* owner, const std::string& text, const std::string& caption,
                 UINT flags) override;
  int RunModal(Dialog& dialog) override;
  std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) override;
  std::optional<LogFont> ChooseFont(Dialog* owner, const std::optional<LogFont>& initial,
                                    unsigned flags) override;
  unsigned TrackPopupMenu(const Menu& menu, unsigned flags, int x, int y, Dialog* owner) override;
  bool EditProperties(Dialog* owner, const std::string& caption,
                      property::PropertySet& object) override;
  bool OpenAddress(const std::string& address) override;
};

}  // namespace ui
