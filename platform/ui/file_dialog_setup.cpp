#include "platform/ui/file_dialog_setup.h"

#include <QFileDialog>

namespace ui {

QString QtFilterPattern(const std::string& pattern) {
  QStringList patterns;
  for (const QString& one :
       QString::fromStdString(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString trimmed = one.trimmed();
    patterns << (trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
  }
  return patterns.join(QLatin1Char(' '));
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setWindowTitle(QString::fromStdString(request.title));
  if (!request.initialFolder.empty())
    dialog.setDirectory(QString::fromStdString(request.initialFolder));
  // Qt reads a filter's patterns from its last parentheses and, with the
  // details hidden, shows the text before them: so each description is
  // shown exactly as written, whatever patterns it names itself.
  QStringList filters;
  for (const auto& [description, pattern] : request.filters)
    filters << QString::fromStdString(description) + QStringLiteral(" (") +
                   QtFilterPattern(pattern) + QLatin1Char(')');
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(filters);
  const int index = request.filterIndex - 1;
  if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
  // A name box holding only a pattern is left empty: the filter shows it.
  if (!request.fileName.empty() && request.fileName.find('*') == std::string::npos)
    dialog.selectFile(QString::fromStdString(request.fileName));
}

}  // namespace ui
