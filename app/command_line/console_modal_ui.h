#pragma once
// The modal interactions of the command-line converter: every message the
// window would show is printed on standard error; questions are answered
// from the command line; dialogs that need a person are not shown.

#include <optional>
#include <string>

#include "app/command_line/console_progress.h"
#include "platform/ui/modal_ui.h"

class ConsoleModalUi : public ui::ModalUi {
 public:
  // `sourcePath` answers the open-file dialog; `replaceExisting` answers the
  // question whether to replace an existing output file. Messages start on
  // a line of their own, after the progress line that `progress` keeps.
  ConsoleModalUi(std::string sourcePath, bool replaceExisting, ConsoleProgress& progress);

  int MessageBox(ui::Dialog* owner, const std::string& text, const std::string& caption,
                 UINT flags) override;
  int RunModal(ui::Dialog& dialog) override;
  std::optional<std::string> GetOpenFileName(const ui::FileDialogRequest& request) override;
  std::optional<std::string> GetSaveFileName(const ui::FileDialogRequest& request) override;
  std::optional<ui::LogFont> ChooseFont(ui::Dialog* owner,
                                        const std::optional<ui::LogFont>& initial,
                                        unsigned flags) override;
  unsigned TrackPopupMenu(const ui::Menu& menu, unsigned flags, int x, int y,
                          ui::Dialog* owner) override;
  bool EditProperties(ui::Dialog* owner, const std::string& caption,
                      property::PropertySet& object) override;
  bool OpenAddress(const std::string& address) override;

 private:
  std::string sourcePath_;
  bool replaceExisting_;
  ConsoleProgress& progress_;
};
