// The Options command: the output options dialog on a copy of the settings;
// on OK the values come back and the summary shows them.

#include "app/shared/status_texts.h"
#include "app/window/reelcast_dlg.h"
#include "options/dialog_output_settings.h"
#include "resources/resource_ids.h"

void CReelcastDlg::OnOutputSettings() {
  CDialogOutputSettings dialog(graph_, this);
  dialog.outputPath = m_settings.outputPath;
  dialog.outputWidth = m_settings.outputWidth;
  dialog.outputHeight = m_settings.outputHeight;
  dialog.videoCompressorUsed = m_settings.videoCompressionOn;
  dialog.audioCompressorUsed = m_settings.audioCompressionOn;
  dialog.sourceWidth = mediaInfo_.width;
  dialog.sourceHeight = mediaInfo_.height;
  dialog.sourceFrameRate = mediaInfo_.frameRate;
  dialog.outputFrameRate = m_settings.frameRate;
  dialog.sourceProbed = sourceOpened;
  dialog.frameRateIndex = m_settings.frameRateChoice;
  dialog.resizeMode = m_settings.resizeMode;
  dialog.videoCompressorNumber = m_settings.videoCompressorIndex;
  dialog.audioCompressorNumber = m_settings.audioCompressorIndex;
  dialog.videoBitrate = m_settings.videoBitrate;
  dialog.audioBitrate = m_settings.audioBitrate;
  dialog.formatId = m_settings.outputFormat;
  dialog.fileProfile = m_settings.useFileProfile;
  if (dialog.DoModal() != IDOK) return;

  m_settings.outputPath = dialog.outputPath;
  m_settings.outputWidth = dialog.outputWidth;
  m_settings.outputHeight = dialog.outputHeight;
  m_settings.videoCompressionOn = dialog.videoCompressorUsed;
  m_settings.audioCompressionOn = dialog.audioCompressorUsed;
  m_settings.frameRateChoice = dialog.frameRateIndex;
  m_settings.frameRate = dialog.outputFrameRate;
  m_settings.resizeMode = dialog.resizeMode;
  m_settings.videoCompressorIndex = dialog.videoCompressorNumber;
  m_settings.audioCompressorIndex = dialog.audioCompressorNumber;
  m_settings.videoBitrate = dialog.videoBitrate;
  m_settings.audioBitrate = dialog.audioBitrate;
  m_settings.outputFormat = dialog.formatId;
  m_settings.useFileProfile = dialog.fileProfile;

  if (mediaInfo_.width == 0 && mediaInfo_.height == 0) ShowOriginalSizeSummary();
  else
    Item(IDC_STATIC_SUMMARY)
        .SetText(SummaryWithSize(m_settings.outputPath, m_settings.outputWidth,
                                 m_settings.outputHeight));
}
