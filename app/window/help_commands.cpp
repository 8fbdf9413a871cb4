#include "app/window/help_commands.h"

#include "app/window/about_dlg.h"
#include "platform/shell/install_folder.h"
#include "platform/text/file_url.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/build_info.h"
#include "resources/vendor_info.h"

std::string HelpIntroductionPath() { return shell::ProgramFilePath("help/Introduction.htm"); }

void ShowHelp() { ui::Modal().OpenAddress(text::FileUrl(HelpIntroductionPath())); }

std::string HomePageAddress(const std::string& configured) {
  if (!configured.empty()) return configured;
  return text::FileUrl(shell::ProgramFilePath(kHomePageFile));
}

void OpenHomePage(ui::Dialog& main) {
  const std::string address = HomePageAddress(kConfiguredHomePage);
  if (ui::Modal().OpenAddress(address)) return;
  ui::OwnedMessageBox(&main,
                      "Reelcast could not start your web browser to show its home page.\nPlease "
                      "start the browser yourself and enter this address:\n" +
                          address,
                      "unknown errors", MB_OK);
}

void ShowAboutBox(ui::Dialog* parent) {
  CAboutDlg about(parent);
  about.DoModal();
}
