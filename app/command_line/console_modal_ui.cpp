#include "app/command_line/console_modal_ui.h"

#include <iostream>
#include <sstream>

#include "i18n/key_table.h"
#include "i18n/language.h"
#include "platform/text/utf8.h"
#include "platform/ui/dialog.h"

namespace {

// A caption without the names of the texts it shows: some captions carry
// their text's key ("Error IDS_MESSAGE_NOT_OPEN_FILE"), which means nothing
// to a reader.
std::string WithoutKeys(const std::string& caption) {
  std::istringstream words(caption);
  std::string kept;
  std::string word;
  while (words >> word) {
    if (word.starts_with("IDS_")) continue;
    kept += (kept.empty() ? "" : " ") + word;
  }
  return kept;
}

// The window shows some messages one after another in a single text
// ("...the clip!Cannot open the file..."): here each starts a line of its own.
std::string Separated(const std::string& text) {
  const auto messageAt = [&](std::size_t at) -> std::size_t {
    for (const LanguageKey& key : LanguageKeys()) {
      if (SectionOfKey(key.key) != TextSection::String) continue;
      const std::string message = theLanguage.GetMessageText(key.id);
      if (!message.empty() && text.compare(at, message.size(), message) == 0) return message.size();
    }
    return 0;
  };
  const std::size_t first = messageAt(0);
  if (first == 0 || first == text.size() || messageAt(first) == 0) return text;
  return text.substr(0, first) + '\n' + Separated(text.substr(first));
}

}  // namespace

ConsoleModalUi::ConsoleModalUi(std::string sourcePath, bool replaceExisting,
                               ConsoleProgress& progress)
    : sourcePath_(std::move(sourcePath)), replaceExisting_(replaceExisting), progress_(progress) {}

int ConsoleModalUi::MessageBox(ui::Dialog*, const std::string& text, const std::string& caption,
                               UINT flags) {
  progress_.Break();
  std::cerr << text::EscapedForTerminal(WithoutKeys(caption) + ": " + Separated(text)) << '\n';
  if ((flags & 0xF) != MB_YESNO) return IDOK;
  if (replaceExisting_) {
    std::cerr << "  (answered yes: --yes was given)\n";
    return IDYES;
  }
  std::cerr << "  (answered no: give --yes to replace the file)\n";
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
