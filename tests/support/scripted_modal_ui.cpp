#include "tests/support/scripted_modal_ui.h"

#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"

namespace test_support {

namespace {
template <typename T>
std::optional<T> Next(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  auto answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}
}  // namespace

std::vector<std::string> ScriptedModalUi::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& s : shown)
    if (s.kind == Shown::Kind::MessageBox) texts.push_back(s.text);
  return texts;
}

std::vector<Shown> ScriptedModalUi::OfKind(Shown::Kind kind) const {
  std::vector<Shown> result;
  for (const auto& s : shown)
    if (s.kind == kind) result.push_back(s);
  return result;
}

int ScriptedModalUi::MessageBox(ui::Dialog* owner, const std::string& text,
                                const std::string& caption, UINT flags) {
  shown.push_back({Shown::Kind::MessageBox, text, caption, flags, owner, 0, {}, {}});
  if (!messageScripts.empty()) {
    auto script = std::move(messageScripts.front());
    messageScripts.pop_front();
    const Shown current = shown.back();
    return script(current);
  }
  if (!messageAnswers.empty()) {
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
}

int ScriptedModalUi::RunModal(ui::Dialog& dialog) {
  shown.push_back({Shown::Kind::Dialog,
                   dialog.Template().caption,
                   {},
                   0,
                   dialog.Parent(),
                   dialog.Template().id,
                   {},
                   {}});
  dialog.Create();
  if (!dialogScripts.empty()) {
    auto script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    if (!dialog.HasEnded()) script(dialog);
  }
  if (!dialog.HasEnded()) dialog.EndDialog(IDCANCEL);
  return dialog.Result();
}

std::optional<std::string> ScriptedModalUi::GetOpenFileName(const ui::FileDialogRequest& request) {
  shown.push_back(
      {Shown::Kind::OpenFile, request.title, {}, request.flags, request.owner, 0, request, {}});
  return Next(openFileAnswers);
}

std::optional<std::string> ScriptedModalUi::GetSaveFileName(const ui::FileDialogRequest& request) {
  shown.push_back(
      {Shown::Kind::SaveFile, request.title, {}, request.flags, request.owner, 0, request, {}});
  return Next(saveFileAnswers);
}

std::optional<ui::LogFont> ScriptedModalUi::ChooseFont(ui::Dialog* owner,
                                                       const std::optional<ui::LogFont>&,
                                                       unsigned flags) {
  shown.push_back({Shown::Kind::Font, {}, {}, flags, owner, 0, {}, {}});
  return Next(fontAnswers);
}

unsigned ScriptedModalUi::TrackPopupMenu(const ui::Menu& menu, unsigned flags, int, int,
                                         ui::Dialog* owner) {
  Shown s{Shown::Kind::Popup, {}, {}, flags, owner, 0, {}, {}};
  for (const auto& item : menu.Items()) s.menu.push_back(item.text);
  shown.push_back(std::move(s));
  if (!popupScripts.empty()) {
    auto script = std::move(popupScripts.front());
    popupScripts.pop_front();
    return script(menu);
  }
  if (popupAnswers.empty()) return 0;
  const unsigned answer = popupAnswers.front();
  popupAnswers.pop_front();
  return answer;
}

bool ScriptedModalUi::EditProperties(ui::Dialog* owner, const std::string& caption,
                                     property::PropertySet& object) {
  shown.push_back({Shown::Kind::Properties, caption, {}, 0, owner, 0, {}, {}});
  if (propertyScripts.empty()) return false;
  auto script = std::move(propertyScripts.front());
  propertyScripts.pop_front();
  return script(object);
}

bool ScriptedModalUi::OpenAddress(const std::string& address) {
  shown.push_back({Shown::Kind::Address, address, {}, 0, nullptr, 0, {}, {}});
  return openAddressSucceeds;
}

ScriptedUi::ScriptedUi() {
  auto ui = std::make_unique<ScriptedModalUi>();
  ui_ = ui.get();
  previous_ = ui::SetModal(std::move(ui));
}

ScriptedUi::~ScriptedUi() { ui::SetModal(std::move(previous_)); }

}  // namespace test_support
