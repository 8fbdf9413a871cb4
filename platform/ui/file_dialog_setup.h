#pragma once
// A file dialog request turned into a Qt file dialog (platform/ui only).

#include <QStringList>

#include "platform/ui/modal_ui.h"

class QFileDialog;

namespace ui {

// A request's filter pattern as Qt matches names: the request's platform
// reads "*.*" as every file name (with or without a dot) and separates
// patterns with ';'.
QString QtFilterPattern(const std::string& pattern);

// Sets up `dialog` for the request: title, folder, name box, the filters
// (each shown by its description exactly as written, and matching as the
// request's platform matches) and the filter chosen first.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

}  // namespace ui
