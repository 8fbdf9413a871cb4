#include "platform/ui/qt_modal_ui.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog_setup.h"
#include "platform/ui/menu.h"
#include "platform/ui/property_editor.h"
#include "platform/ui/qt_font.h"

namespace ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QWidget* WidgetOf(Dialog* owner) { return owner ? owner->Widget() : nullptr; }

void AddItems(QMenu& target, const Menu& source) {
  for (const auto& item : source.Items()) {
    if (item.separator) {
      target.addSeparator();
    } else if (item.submenu) {
      AddItems(*target.addMenu(Q(item.text)), *item.submenu);
    } else {
      QAction* action = target.addAction(Q(item.text));
      action->setData(item.id);
      action->setCheckable(item.checked);
      action->setChecked(item.checked);
    }
  }
}

}  // namespace

int QtModalUi::MessageBox(Dialog* owner, const std::string& text, const std::string& caption,
                          UINT flags) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      icon = QMessageBox::Critical;
      break;
    case MB_ICONQUESTION:
      icon = QMessageBox::Question;
      break;
    case MB_ICONEXCLAMATION:
      icon = QMessageBox::Warning;
      break;
    case MB_ICONINFORMATION:
      icon = QMessageBox::Information;
      break;
    default:
      break;
  }
  const bool yesNo = (flags & 0xF) == MB_YESNO;
  QMessageBox box(icon, Q(caption), Q(text),
                  yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, WidgetOf(owner));
  box.setAccessibleName(Q(caption));
  box.setAccessibleDescription(Q(text));
  const int answer = box.exec();
  if (!yesNo) return IDOK;
  return answer == QMessageBox::Yes ? IDYES : IDNO;
}

int QtModalUi::RunModal(Dialog& dialog) { return dialog.Exec(); }

namespace {

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString path = dialog.selectedFiles().value(0);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace

std::optional<std::string> QtModalUi::GetOpenFileName(const FileDialogRequest& request) {
  QFileDialog dialog(WidgetOf(request.owner));
  SetUpFileDialog(dialog, request);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  return RunFileDialog(dialog);
}

std::optional<std::string> QtModalUi::GetSaveFileName(const FileDialogRequest& request) {
  QFileDialog dialog(WidgetOf(request.owner));
  SetUpFileDialog(dialog, request);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  return RunFileDialog(dialog);
}

std::optional<LogFont> QtModalUi::ChooseFont(Dialog* owner, const std::optional<LogFont>& initial,
                                             unsigned) {
  bool ok = false;
  const LogFont base = initial.value_or(LogFont{});
  const QFont chosen = QFontDialog::getFont(&ok, ToQFont(base), WidgetOf(owner));
  if (!ok) return std::nullopt;
  LogFont result = FromQFont(chosen, base);
  // The dialog offers no effects: underline and strike-out stay as they were.
  result.lfUnderline = base.lfUnderline;
  result.lfStrikeOut = base.lfStrikeOut;
  return result;
}

unsigned QtModalUi::TrackPopupMenu(const Menu& menu, unsigned, int x, int y, Dialog* owner) {
  QMenu popup(WidgetOf(owner));
  AddItems(popup, menu);
  QAction* chosen = popup.exec(QPoint(x, y));
  return chosen ? chosen->data().toUInt() : 0;
}

bool QtModalUi::EditProperties(Dialog* owner, const std::string& caption,
                               property::PropertySet& object) {
  return RunPropertyEditor(WidgetOf(owner), caption, object);
}

bool QtModalUi::OpenAddress(const std::string& address) {
  const QString text = Q(address);
  const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text);
  return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace ui
