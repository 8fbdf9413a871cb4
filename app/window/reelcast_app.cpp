#include "app/window/reelcast_app.h"

#include "app/window/reelcast_dlg.h"
#include "i18n/language.h"
#include "options/settings_store.h"

bool CReelcastApp::InitInstance() {
  // Dialogs here host no embedded controls, so there is no control
  // container to enable.
  SetRegistryKey("TARNWICK");
  // Without usable language files the built-in English texts are used.
  theLanguage.Open(theLanguage.GetLanguageBaseFolder(), ReadCurrentLanguage());

  CReelcastDlg dialog;
  if (!startupFile_.empty()) dialog.OpenWhenShown(startupFile_);
  SetMainWindow(&dialog);
  dialog.DoModal();
  SetMainWindow(nullptr);
  return false;
}
