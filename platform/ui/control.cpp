#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "platform/text/utf8.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_impl.h"
#include "platform/ui/qt_font.h"

namespace ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Marks the program's own selection changes, which send no notification.
class ProgrammaticChange {
 public:
  explicit ProgrammaticChange(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~ProgrammaticChange() { flag_ = previous_; }

 private:
  bool& flag_;
  bool previous_;
};

QString Displayed(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return Q(shown);
}

}  // namespace

void Control::SetText(const std::string& text) {
  if (!widget_) return;
  widget_->setProperty(kTextProperty, Q(text));
  if (auto* bar = qobject_cast<QProgressBar*>(widget_)) {
    // The bar keeps its name; its text is what it says about the value.
    // The text is shown as given: the bar's own placeholders are not used.
    bar->setFormat(Q(text));
    bar->setAccessibleDescription(Q(text));
    return;
  }
  widget_->setAccessibleName(Displayed(text));
  if (auto* button = qobject_cast<QPushButton*>(widget_)) button->setText(Q(text));
  else if (auto* edit = qobject_cast<QLineEdit*>(widget_)) edit->setText(Q(text));
  else if (auto* label = qobject_cast<QLabel*>(widget_)) label->setText(Displayed(text));
}

std::string Control::Text(std::size_t maxChars) const {
  if (!widget_) return {};
  std::string text;
  if (auto* edit = qobject_cast<QLineEdit*>(widget_)) text = edit->text().toStdString();
  else if (auto* combo = qobject_cast<QComboBox*>(widget_))
    text = combo->currentText().toStdString();
  else text = widget_->property(kTextProperty).toString().toStdString();
  return text::TruncateUtf8(text, maxChars);
}

void Control::Enable(bool enabled) {
  if (widget_) widget_->setEnabled(enabled);
}

bool Control::IsEnabled() const { return widget_ && widget_->isEnabled(); }

void Control::Show(bool visible) {
  if (widget_) widget_->setVisible(visible);
}

bool Control::IsVisible() const { return widget_ && !widget_->isHidden(); }

void Control::SetFont(const LogFont& font) {
  if (widget_) widget_->setFont(ToQFont(font));
}

LogFont Control::Font() const { return widget_ ? FromQFont(widget_->font()) : LogFont{}; }

void Control::SetAccessibleName(const std::string& name) {
  if (widget_) widget_->setAccessibleName(Q(name));
}

void Control::SetPos(int position) {
  if (auto* bar = qobject_cast<QProgressBar*>(widget_)) bar->setValue(std::clamp(position, 0, 100));
}

int Control::GetPos() const {
  const auto* bar = qobject_cast<const QProgressBar*>(widget_);
  return bar ? bar->value() : 0;
}

void Control::ResetContent() {
  if (!widget_) return;
  ProgrammaticChange guard(owner_->impl_->programmaticChange);
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->clear();
  else if (auto* list = qobject_cast<QListWidget*>(widget_)) list->clear();
}

int Control::AddString(const std::string& text) {
  if (!widget_) return -1;
  ProgrammaticChange guard(owner_->impl_->programmaticChange);
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    const int selected = combo->currentIndex();
    combo->addItem(Q(text));
    combo->setCurrentIndex(selected);  // adding never selects
    return combo->count() - 1;
  }
  if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    list->addItem(Q(text));
    return list->count() - 1;
  }
  return -1;
}

int Control::InsertString(int index, const std::string& text) {
  if (!widget_) return -1;
  ProgrammaticChange guard(owner_->impl_->programmaticChange);
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    const int at = (index < 0 || index > combo->count()) ? combo->count() : index;
    const int selected = combo->currentIndex();
    combo->insertItem(at, Q(text));
    combo->setCurrentIndex(selected >= at && selected >= 0 ? selected + 1 : selected);
    return at;
  }
  if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    const int at = (index < 0 || index > list->count()) ? list->count() : index;
    list->insertItem(at, Q(text));
    return at;
  }
  return -1;
}

int Control::DeleteString(int index) {
  if (!widget_) return -1;
  ProgrammaticChange guard(owner_->impl_->programmaticChange);
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    if (index < 0 || index >= combo->count()) return -1;
    combo->removeItem(index);
    return combo->count();
  }
  if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    if (index < 0 || index >= list->count()) return -1;
    delete list->takeItem(index);
    return list->count();
  }
  return -1;
}

int Control::SetCurSel(int index) {
  if (!widget_) return -1;
  ProgrammaticChange guard(owner_->impl_->programmaticChange);
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    const bool exists = index >= 0 && index < combo->count();
    combo->setCurrentIndex(exists ? index : -1);
    return exists ? index : -1;
  }
  if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    const bool exists = index >= 0 && index < list->count();
    list->setCurrentRow(exists ? index : -1);
    if (!exists) list->clearSelection();
    return exists ? index : -1;
  }
  return -1;
}

int Control::GetCurSel() const {
  if (!widget_) return -1;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->currentIndex();
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->currentRow();
  return -1;
}

int Control::GetCount() const {
  if (!widget_) return 0;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->count();
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->count();
  return 0;
}

std::string Control::GetItemText(int index) const {
  if (!widget_) return {};
  if (auto* combo = qobject_cast<QComboBox*>(widget_))
    return index >= 0 && index < combo->count() ? combo->itemText(index).toStdString() : "";
  if (auto* list = qobject_cast<QListWidget*>(widget_))
    return index >= 0 && index < list->count() ? list->item(index)->text().toStdString() : "";
  return {};
}

void Control::Click() {
  // A user can press only a button that is shown (click() already ignores
  // disabled ones).
  if (auto* button = qobject_cast<QPushButton*>(widget_); button && !button->isHidden())
    button->click();
}

void Control::SelectAsUser(int index) {
  if (!widget_ || !widget_->isEnabled()) return;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    SetCurSel(index);
    Q_EMIT combo->activated(combo->currentIndex());
  } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    list->setCurrentRow(index);  // sends the notification when the list asks for them
  }
}

void Control::TypeAsUser(const std::string& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
    if (!edit->isEnabled()) return;
    edit->setText(Q(text));
  }
}

}  // namespace ui
