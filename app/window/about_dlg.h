#pragma once
// The About box: product caption, version, legal notice, support address
// and the attribution of the Windows Media encoders, in the current
// language's texts.

#include "platform/ui/dialog.h"

class CAboutDlg : public ui::Dialog {
 public:
  explicit CAboutDlg(ui::Dialog* parent = nullptr);

 protected:
  bool OnInitDialog() override;
};
