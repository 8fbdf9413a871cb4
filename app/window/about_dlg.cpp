#include "app/window/about_dlg.h"

#include "i18n/language.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

CAboutDlg::CAboutDlg(ui::Dialog* parent) : ui::Dialog(AboutDialogTemplate(), parent) {
  SetIcon(ApplicationIconXpm());
}

bool CAboutDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // The caption's text is that of IDC_BUTTON_ABOUT, bound to the box's id.
  theLanguage.ApplyToDialog(*this, IDD_ABOUTBOX);
  return true;
}
