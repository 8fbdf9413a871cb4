#include "options/dialog_output_settings.h"

#include <array>
#include <cstdio>

#include "engine/compressor_catalogue.h"
#include "engine/graph_context.h"
#include "i18n/language.h"
#include "options/number_text.h"
#include "options/output_formats.h"
#include "options/settings_keys.h"
#include "options/settings_store.h"
#include "options/video_codec_configuration.h"
#include "platform/profile/app_profile.h"
#include "platform/ui/application.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {

constexpr std::array<int, 6> kBitrateView = {
    IDC_STATIC_VIDEO_COMPRESSOR_BITRATE, IDC_EDIT_VIDEO_BITRATE,  IDC_STATIC_VIDEO_KBPS,
    IDC_STATIC_AUDIO_COMPRESSOR_BITRATE, IDC_COMBO_AUDIO_BITRATE, IDC_STATIC_AUDIO_KBPS};
constexpr std::array<int, 6> kCompressorView = {
    IDC_STATIC_VIDEO_COMPRESSOR, IDC_COMBO_VIDEO_COMPRESSOR, IDC_BUTTON_VIDEO_CODEC_SETTINGS,
    IDC_STATIC_AUDIO_COMPRESSOR, IDC_COMBO_AUDIO_COMPRESSOR, IDC_STATIC_OPTIONS_NOTE};
// The audio bitrate combo's items, in bits per second.
constexpr std::array<int, 4> kAudioBitrates = {64000, 128000, 192000, 320000};
// The fixed rates of the frame-rate list, from index 1.
constexpr std::array<double, 5> kFixedFrameRates = {kFilmFrameRate, 24.0, 25.0, 29.97, 30.0};

// The value with so many places after the point, as "%.<places>f" writes it.
std::string Decimal(double value, int places) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
  return buffer;
}

int AudioBitrateItem(int bitrate) {
  for (std::size_t i = 0; i < kAudioBitrates.size(); ++i)
    if (kAudioBitrates[i] == bitrate) return static_cast<int>(i);
  return -1;
}

// Cut toward zero to a multiple of 8, at least 16.
int FrameDimension(const std::string& text) {
  int value = ParseLeadingInt(text);
  value -= value % 8;
  return value < 16 ? 16 : value;
}

}  // namespace

CDialogOutputSettings::CDialogOutputSettings(GraphContext& context, ui::Dialog* parent)
    : ui::Dialog(OutputOptionsDialogTemplate(), parent), context_(context) {}

bool CDialogOutputSettings::OnInitDialog() {
  ui::Control resolution = Item(IDC_COMBO_RESOLUTION);
  resolution.DeleteString(0);
  resolution.InsertString(
      0, sourceWidth == 0 && sourceHeight == 0
             ? std::string("Original size")
             : "Original size " + std::to_string(sourceWidth) + "*" + std::to_string(sourceHeight));
  Item(IDC_COMBO_VIDEO_CODECS).Show(false);
  Item(IDC_EDIT_OUTPUT_FILE).SetText(outputPath);
  Item(IDC_EDIT_WIDTH).SetText(std::to_string(outputWidth));
  Item(IDC_EDIT_HEIGHT).SetText(std::to_string(outputHeight));
  Item(IDC_EDIT_WIDTH).Show(false);
  Item(IDC_EDIT_HEIGHT).Show(false);

  ui::Control frameRates = Item(IDC_COMBO_FRAME_RATE);
  frameRates.DeleteString(0);
  frameRates.InsertString(0, sourceProbed > 0 ? "Original frame rate " + Decimal(sourceFrameRate, 3)
                                              : std::string("Original frame rate"));
  ui::Control frameRateEdit = Item(IDC_EDIT_FRAME_RATE);
  frameRateEdit.SetText(frameRateIndex != 0 ? Decimal(outputFrameRate, 3)
                                            : Decimal(kFilmFrameRate, 6));
  frameRateEdit.Show(false);
  frameRates.SetCurSel(frameRateIndex);
  if (frameRateIndex >= 6) frameRateEdit.Show(true);

  FillCompressorList(true);
  FillCompressorList(false);

  Item(IDC_COMBO_RESIZE_MODE).SetCurSel(resizeMode == 2 ? 0 : 1);
  for (int id :
       {IDC_STATIC_RESOLUTION, IDC_COMBO_RESOLUTION, IDC_STATIC_FRAME_RATE, IDC_COMBO_FRAME_RATE,
        IDC_STATIC_RESIZE_MODE, IDC_COMBO_RESIZE_MODE, IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT,
        IDC_COMBO_VIDEO_COMPRESSOR, IDC_COMBO_AUDIO_COMPRESSOR, IDC_BUTTON_VIDEO_CODEC_SETTINGS})
    Item(id).Show(false);

  Item(IDC_EDIT_VIDEO_BITRATE).SetText(std::to_string(videoBitrate / 1024));
  Item(IDC_COMBO_AUDIO_BITRATE).SetCurSel(AudioBitrateItem(audioBitrate));
  for (int id : {IDC_STATIC_VIDEO_COMPRESSOR, IDC_STATIC_AUDIO_COMPRESSOR, IDC_STATIC_OPTIONS_NOTE})
    Item(id).Show(false);

  ui::Control formats = Item(IDC_COMBO_OUTPUT_FORMAT);
  formats.ResetContent();
  formats.AddString("WMV");
  formats.AddString("ASF");
  formats.SetCurSel(ComboItemFromFormatId(formatId));
  ApplyFormat();

  theLanguage.ApplyToDialog(*this, IDD_DIALOG_OUTPUT_OPTIONS);
  return true;
}

void CDialogOutputSettings::FillCompressorList(bool video) {
  ui::Control list = Item(video ? IDC_COMBO_VIDEO_COMPRESSOR : IDC_COMBO_AUDIO_COMPRESSOR);
  list.ResetContent();
  list.AddString(video ? "Full frames (uncompressed)" : "Uncompressed Audio");
  for (const std::string& name :
       ListCompressors(video ? CompressorKind::Video : CompressorKind::Audio))
    list.AddString(name);
  list.SetCurSel(0);

  const int stored =
      profile::GetProfileInt(video ? kSectionVideoCompressor : kSectionAudioCompressor,
                             kKeyCompressorNumber, kCompressorNeverChosen);
  if (stored != kCompressorNeverChosen) {
    list.SetCurSel(stored + 1);
  } else {
    const auto found = video ? FindDefaultVideoCompressor() : FindDefaultAudioCompressor();
    list.SetCurSel(found ? *found + 1 : 0);
  }
}

bool CDialogOutputSettings::OnCommand(int id, int notification) {
  switch (id) {
    case IDC_COMBO_OUTPUT_FORMAT:
      if (notification == CBN_SELCHANGE) OnFormatChange();
      return true;
    case IDC_BUTTON_OUTPUT_DEAULT:
      OnDefaults();
      return true;
    case IDC_BUTTON_BROWSE:
      OnBrowse();
      return true;
    case IDC_BUTTON_VIDEO_CODEC_SETTINGS:
      ConfigureChosenVideoCodec(*this);
      return true;
    case IDC_BUTTON_OPTIONS_OK:
      OnAccept();
      return true;
    case IDC_BUTTON_OPTIONS_CANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

void CDialogOutputSettings::OnOK() { OnAccept(); }

void CDialogOutputSettings::OnFormatChange() {
  formatId = FormatIdFromComboItem(Item(IDC_COMBO_OUTPUT_FORMAT).GetCurSel());
  ApplyFormat();
}

void CDialogOutputSettings::ApplyFormat() {
  // The whole text as typed: a path too long for the system's buffers is
  // refused by the rule and stays in the edit as it was, never cut.
  ui::Control edit = Item(IDC_EDIT_OUTPUT_FILE);
  if (auto path = ApplyExtensionRule(formatId, edit.Text())) edit.SetText(*path);
  const auto view = OptionsViewFor(formatId);
  if (!view) {
    ui::OwnedMessageBox(this, "unknown error", "error");
    return;
  }
  const bool bitrates = *view == OptionsView::Bitrate;
  for (int id : kBitrateView) Item(id).Show(bitrates);
  for (int id : kCompressorView) Item(id).Show(!bitrates);
}

void CDialogOutputSettings::OnDefaults() {
  if (formatId == kFormatWmv || formatId == kFormatAsf) {
    Item(IDC_EDIT_VIDEO_BITRATE).SetText("780");
    Item(IDC_COMBO_AUDIO_BITRATE).SetCurSel(1);
    return;
  }
  const auto video = FindDefaultVideoCompressor();
  Item(IDC_COMBO_VIDEO_COMPRESSOR).SetCurSel(video ? *video + 1 : 0);
  const auto audio = FindDefaultAudioCompressor();
  Item(IDC_COMBO_AUDIO_COMPRESSOR).SetCurSel(audio ? *audio + 1 : 0);
}

void CDialogOutputSettings::OnBrowse() {
  ui::FileDialogRequest request;
  request.owner = this;
  const auto slash = outputPath.find_last_of('/');
  request.initialFolder = slash == std::string::npos ? "." : outputPath.substr(0, slash);
  request.fileName = "*.*";
  request.title = theLanguage.GetMessageText(IDS_MESSAGE_BROWSE_CAPTION);
  if (auto filter = SaveDialogFilter(formatId)) request.filters.push_back(*filter);
  else ui::OwnedMessageBox(this, "Does not support the video format", "Error");
  request.filterIndex = 1;
  request.flags = ui::OFN_HIDEREADONLY;
  const auto chosen = ui::Modal().GetSaveFileName(request);
  if (!chosen) return;
  if (auto path = ApplyExtensionRule(formatId, *chosen)) Item(IDC_EDIT_OUTPUT_FILE).SetText(*path);
}

void CDialogOutputSettings::OnAccept() {
  const std::string frameRateText = Item(IDC_EDIT_FRAME_RATE).Text(127);
  const double typedRate = ParseLeadingDouble(frameRateText);
  if (typedRate < 0.001) {
    ui::OwnedMessageBox(this, "The frame rate is too small!", ui::Application::Name());
    return;
  }
  // A typed path that does not fit the system's buffers is refused, not
  // cut: the conversion would otherwise write to a name nobody typed. The
  // dialog stays open with the text as typed, and nothing is stored.
  const std::string typedPath = Item(IDC_EDIT_OUTPUT_FILE).Text();
  if (typedPath.size() >= kMaxPath) {
    ReportPathTooLong(typedPath);
    return;
  }

  StoredOutputSettings stored{};
  frameRateIndex = Item(IDC_COMBO_FRAME_RATE).GetCurSel();
  stored.frameRateIndex = frameRateIndex;
  stored.frameRateText = frameRateIndex == 0 ? std::string("23.976") : frameRateText;
  if (frameRateIndex == 0) {
    outputFrameRate = sourceFrameRate;
  } else if (frameRateIndex >= 1 && frameRateIndex <= 5) {
    outputFrameRate = kFixedFrameRates[static_cast<std::size_t>(frameRateIndex - 1)];
  } else if (frameRateIndex == 6) {
    outputFrameRate = typedRate;
  } else {
    frameRateIndex = 1;
    outputFrameRate = kFilmFrameRate;
  }

  outputPath = typedPath;
  stored.outputName = outputPath;
  outputWidth = FrameDimension(Item(IDC_EDIT_WIDTH).Text());
  outputHeight = FrameDimension(Item(IDC_EDIT_HEIGHT).Text());
  stored.outputWidth = outputWidth;
  stored.outputHeight = outputHeight;
  videoCompressorNumber = Item(IDC_COMBO_VIDEO_COMPRESSOR).GetCurSel() - 1;
  audioCompressorNumber = Item(IDC_COMBO_AUDIO_COMPRESSOR).GetCurSel() - 1;
  stored.videoCompressorNumber = videoCompressorNumber;
  stored.audioCompressorNumber = audioCompressorNumber;
  resizeMode = Item(IDC_COMBO_RESIZE_MODE).GetCurSel() == 0 ? 2 : 0;
  videoBitrate = KbpsToBitsPerSecond(ParseLeadingInt(Item(IDC_EDIT_VIDEO_BITRATE).Text()));
  stored.videoBitrate = videoBitrate;
  const int audioItem = Item(IDC_COMBO_AUDIO_BITRATE).GetCurSel();
  if (audioItem >= 0 && audioItem < static_cast<int>(kAudioBitrates.size()))
    audioBitrate = kAudioBitrates[static_cast<std::size_t>(audioItem)];
  stored.audioBitrate = audioBitrate;
  formatId = FormatIdFromComboItem(Item(IDC_COMBO_OUTPUT_FORMAT).GetCurSel());
  stored.outputFormat = formatId;
  StoreOutputSettings(stored);

  // The process-wide compressor instances follow the choice; "uncompressed"
  // leaves them as they are.
  if (videoCompressorNumber == -1) {
    videoCompressorUsed = 0;
  } else {
    context_.videoCompressor.Reset();
    GetCompressor(videoCompressorNumber, &context_.videoCompressor);
    videoCompressorUsed = 1;
  }
  if (audioCompressorNumber == -1) {
    audioCompressorUsed = 0;
  } else {
    context_.audioCompressor.Reset();
    GetAudioCompressor(audioCompressorNumber, &context_.audioCompressor);
    audioCompressorUsed = 1;
  }
  EndDialog(IDOK);
}
