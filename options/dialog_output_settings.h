#pragma once
// The output options dialog: format, output file, Windows Media bitrates or
// the compressors of the other formats. OK stores every option at once.

#include <string>

#include "engine/output_settings.h"
#include "platform/ui/dialog.h"

struct GraphContext;

class CDialogOutputSettings : public ui::Dialog {
 public:
  CDialogOutputSettings(GraphContext& context, ui::Dialog* parent);

  // The values the caller sets before the dialog runs and reads back after
  // OK (all but the four source values).
  std::string outputPath;
  int outputWidth = 0;
  int outputHeight = 0;
  int videoCompressorUsed = 0;
  int audioCompressorUsed = 0;
  int sourceWidth = 800;
  int sourceHeight = 600;
  int sourceProbed = 0;
  double sourceFrameRate = kFilmFrameRate;
  double outputFrameRate = kFilmFrameRate;
  int frameRateIndex = 1;
  int resizeMode = 2;
  int videoCompressorNumber = 0;
  int audioCompressorNumber = 0;
  int videoBitrate = 696320;  // 680 * 1024
  int audioBitrate = 128000;
  int formatId = 1;
  int fileProfile = 0;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void OnOK() override;

 private:
  void OnFormatChange();
  // Steps 2 to 4 of a format change, for the dialog's current format id.
  void ApplyFormat();
  void OnDefaults();
  void OnBrowse();
  void OnAccept();
  void FillCompressorList(bool video);

  GraphContext& context_;
};
