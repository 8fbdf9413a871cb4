#include "app/console_modal_ui.h"

#include <iostream>

#include "platform/ui/dialog.h"

ConsoleModalUi::ConsoleModalUi(std::string sourcePath, bool replaceExisting,
                               ConsoleProgress& progress)
    : sourcePath_(std::move(sourcePath)), replaceExisting_(replaceExisting), progress_(progress) {}

int ConsoleModalUi::MessageBox(ui::Dialog*, const std::string& text, const std::string& caption,
                               UINT flags) {
  progress_.Break();
  std::cerr << caption << ": " << text << '\n';
  if ((flags & 0xF) != MB_YESNO) return IDOK;
  if (replaceExisting_) {
    std::cerr << "  (answered yes: --yes was given)\n";
    return IDYES;
  }
  std::cerr << "  (answered no: give --yes to replace the file)\n";
  declinedReplace_ = true;
  return IDNO;
}

int ConsoleModalUi::RunModal(ui::Dialog& dialog) {
  // Dialogs shown before a run (the filter properties of an MP4 graph) are
  // closed at once, as a user pressing Continue would.
  dialog.Create();
  if (!dialog.HasEnded()) dialog.EndDialog(IDCANCEL);
  return dialog.Result();
}

std::optional<std::string> ConsoleModalUi::GetOpenFileName(const ui::FileDialogRequest&) {
  return sourcePath_;
}

std::optional<std::string> ConsoleModalUi::GetSaveFileName(const ui::FileDialogRequest&) {
  return std::nullopt;
}

std::optional<ui::LogFont> ConsoleModalUi::ChooseFont(ui::Dialog*,
                                                      const std::optional<ui::LogFont>&, unsigned) {
  return std::nullopt;
}

unsigned ConsoleModalUi::TrackPopupMenu(const ui::Menu&, unsigned, int, int, ui::Dialog*) {
  return 0;
}

bool ConsoleModalUi::EditProperties(ui::Dialog*, const std::string&, property::PropertySet&) {
  return false;
}

bool ConsoleModalUi::OpenAddress(const std::string& address) {
  progress_.Break();
  std::cerr << "See: " << address << '\n';
  return true;
}
