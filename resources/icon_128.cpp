#include "resources/dialog_templates.h"
#include "resources/reelcast_icon.xpm"

const char* const* ApplicationIconXpm() { return reelcast_icon_xpm; }
