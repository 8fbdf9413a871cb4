#pragma once
// Conversion between the logical font fields and QFont (platform/ui only).

#include <QFont>

#include "platform/ui/log_font.h"

namespace ui {

QFont ToQFont(const LogFont& font);
// The fields of a QFont; fields QFont does not know are taken from `base`.
LogFont FromQFont(const QFont& font, const LogFont& base = {});

}  // namespace ui
