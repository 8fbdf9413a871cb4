// Commands whose work arrives with the media engine and the options dialog.
// They are routed from the main window already; until then they do nothing.

#include "app/reelcast_dlg.h"

void CReelcastDlg::OnConvert() {}
LRESULT CReelcastDlg::OnGraphNotify() { return 0; }
