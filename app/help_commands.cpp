#include "app/help_commands.h"

#include "app/about_dlg.h"
#include "platform/shell/install_folder.h"
#include "platform/shell/shell.h"
#include "platform/text/file_url.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/vendor_info.h"

namespace {
constexpr const char* kIntroductionPage = "help/Introduction.htm";
}

std::string HelpIntroductionPath() {
  return shell::InstallFolderHolding(shell::ExecutablePath(), kIntroductionPage) + "/" +
         kIntroductionPage;
}

void ShowHelp() { ui::Modal().OpenAddress(text::FileUrl(HelpIntroductionPath())); }

void OpenHomePage(ui::Dialog& main) {
  if (ui::Modal().OpenAddress(kVendorHomePage)) return;
  ui::OwnedMessageBox(&main,
                      std::string("Reelcast could not start your web browser to show its home "
                                  "page.\nPlease start the browser yourself and enter this "
                                  "address:\n") +
                          kVendorHomePage,
                      "unknown errors", MB_OK);
}

void ShowAboutBox(ui::Dialog* parent) {
  CAboutDlg about(parent);
  about.DoModal();
}
