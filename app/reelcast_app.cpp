#include "app/reelcast_app.h"

#include "app/reelcast_dlg.h"
#include "app/settings_store.h"

bool CReelcastApp::InitInstance() {
  // Dialogs here host no embedded controls, so there is no control
  // container to enable.
  SetRegistryKey("TARNWICK");
  const std::string language = ReadCurrentLanguage();
  (void)language;  // the language loader opens it once language files are read

  CReelcastDlg dialog;
  SetMainWindow(&dialog);
  dialog.DoModal();
  SetMainWindow(nullptr);
  return false;
}
