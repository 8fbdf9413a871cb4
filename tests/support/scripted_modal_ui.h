#pragma once
// A ModalUi that answers from a script and records what was shown, so tests
// drive dialogs as a user would without a modal loop.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/modal_ui.h"

namespace test_support {

struct Shown {
  enum class Kind { MessageBox, Dialog, OpenFile, SaveFile, Font, Popup, Properties, Address };
  Kind kind;
  std::string text;     // message text, property frame caption, address
  std::string caption;  // message caption
  UINT flags = 0;
  ui::Dialog* owner = nullptr;
  int dialogId = 0;  // template id of a modal dialog
  ui::FileDialogRequest file;
  std::vector<std::string> menu;  // popup: the top-level item texts
};

class ScriptedModalUi : public ui::ModalUi {
 public:
  // Answers, taken in order; when a queue is empty the default applies:
  // IDOK (IDNO for a yes/no question), cancel for dialogs, no file, no font,
  // no popup command, an unconfirmed property frame.
  std::deque<int> messageAnswers;
  // Looks at a message box while it is shown (a real box runs the message
  // loop meanwhile; a script may do the same) and answers; taken before
  // messageAnswers.
  std::deque<std::function<int(const Shown&)>> messageScripts;
  std::deque<std::function<void(ui::Dialog&)>> dialogScripts;
  std::deque<std::optional<std::string>> openFileAnswers;
  std::deque<std::optional<std::string>> saveFileAnswers;
  std::deque<std::optional<ui::LogFont>> fontAnswers;
  std::deque<unsigned> popupAnswers;
  // Looks at a popup menu as shown and answers with a command; taken before
  // popupAnswers.
  std::deque<std::function<unsigned(const ui::Menu&)>> popupScripts;
  std::deque<std::function<bool(property::PropertySet&)>> propertyScripts;
  bool openAddressSucceeds = true;

  std::vector<Shown> shown;

  // The texts of the message boxes shown so far.
  std::vector<std::string> MessageTexts() const;
  std::vector<Shown> OfKind(Shown::Kind kind) const;
  void Clear() { shown.clear(); }

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
};

// Installs a scripted UI for the life of the object and restores the
// previous one afterwards.
class ScriptedUi {
 public:
  ScriptedUi();
  ~ScriptedUi();
  ScriptedUi(const ScriptedUi&) = delete;
  ScriptedUi& operator=(const ScriptedUi&) = delete;
  ScriptedModalUi* operator->() { return ui_; }
  ScriptedModalUi& operator*() { return *ui_; }

 private:
  ScriptedModalUi* ui_;
  std::unique_ptr<ui::ModalUi> previous_;
};

}  // namespace test_support
