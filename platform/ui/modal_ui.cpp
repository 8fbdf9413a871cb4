#include "platform/ui/modal_ui.h"

#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {
std::unique_ptr<ModalUi>& Installed() {
  static std::unique_ptr<ModalUi> installed;
  return installed;
}
}  // namespace

ModalUi& Modal() {
  auto& installed = Installed();
  if (!installed) {
    // A modal interaction before any implementation is installed is a
    // programming error; fail loudly rather than guess an answer.
    std::fputs("reelcast: no modal user interface installed\n", stderr);
    std::abort();
  }
  return *installed;
}

std::unique_ptr<ModalUi> SetModal(std::unique_ptr<ModalUi> modal) {
  auto previous = std::move(Installed());
  Installed() = std::move(modal);
  return previous;
}

}  // namespace ui
