#include "options/video_codec_configuration.h"

#include "platform/text/ascii_case.h"
#include "platform/text/utf8.h"
#include "platform/ui/dialog.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char* kFfdshowEncoder = "ffdshow video encoder";
// Descriptions go into a 256-byte buffer.
constexpr std::size_t kDescriptionBytes = 255;

bool IsNumberCharacter(char c) { return (c >= '0' && c <= '9') || c == '.'; }

bool NamesFfdshowEncoder(const std::string& text) {
  return text::AsciiLower(text).find(kFfdshowEncoder) != std::string::npos;
}

bool SameFfdshowEncoder(const std::string& chosenName, const std::string& description) {
  if (!NamesFfdshowEncoder(chosenName) || !NamesFfdshowEncoder(description)) return false;
  const auto a = NumberOf(chosenName);
  const auto b = NumberOf(description);
  return a && b && text::EqualsIgnoringCase(*a, *b);
}

// The codecs that can compress the probe format, at most kMaxCodecs.
std::vector<vfw::ICINFO> CodecsTakingTheProbe() {
  const vfw::BITMAPINFOHEADER probe = CodecProbeFormat();
  std::vector<vfw::ICINFO> table;
  vfw::ICINFO info;
  for (vfw::DWORD index = 0; table.size() < VideoCodecConfiguration::kMaxCodecs &&
                             vfw::ICInfo(vfw::ICTYPE_VIDEO, index, &info);
       ++index) {
    const vfw::CodecHandle codec =
        vfw::OpenCodec(info.fccType, info.fccHandler, vfw::ICMODE_COMPRESS);
    if (!codec || vfw::ICCompressQuery(codec.get(), &probe, nullptr) != vfw::ICERR_OK) continue;
    vfw::ICINFO record;
    if (vfw::ICGetInfo(codec.get(), &record, sizeof record) > 0) table.push_back(std::move(record));
  }
  return table;
}

// Gives the codec the saved state when the buffer fits it; otherwise makes
// a new buffer of the codec's size, holding no saved state yet.
void PrepareStateBuffer(VideoCodecConfiguration& config, vfw::HIC codec, std::size_t size) {
  if (config.stateBuffer.size() == size) {
    if (config.stateSaved) vfw::ICSetState(codec, config.stateBuffer.data(), size);
    return;
  }
  config.stateBuffer.assign(size, 0);
  config.stateSaved = false;
}

}  // namespace

VideoCodecConfiguration& TheVideoCodecConfiguration() {
  static VideoCodecConfiguration configuration;
  return configuration;
}

vfw::BITMAPINFOHEADER CodecProbeFormat() {
  vfw::BITMAPINFOHEADER probe;
  probe.biSize = 40;
  probe.biWidth = 352;
  probe.biHeight = 240;
  probe.biPlanes = 1;
  probe.biBitCount = 24;
  probe.biCompression = vfw::BI_RGB;
  probe.biSizeImage = 352 * 240 * 3;
  return probe;
}

std::optional<std::string> NumberOf(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size() && !IsNumberCharacter(text[start])) ++start;
  if (start == text.size()) return std::nullopt;
  std::size_t end = start;
  while (end < text.size() && IsNumberCharacter(text[end])) ++end;
  return text.substr(start, end - start);
}

std::optional<std::size_t> MatchingCodec(const std::string& chosenName,
                                         const std::vector<std::string>& descriptions) {
  std::optional<std::size_t> match;
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    // An exact name wins over an earlier same-encoder match; otherwise the first one counts.
    if (text::EqualsIgnoringCase(descriptions[i], chosenName) ||
        (!match && SameFfdshowEncoder(chosenName, descriptions[i])))
      match = i;
  }
  return match;
}

void ConfigureChosenVideoCodec(ui::Dialog& optionsDialog) {
  VideoCodecConfiguration& config = TheVideoCodecConfiguration();
  ui::Control compressors = optionsDialog.Item(IDC_COMBO_VIDEO_COMPRESSOR);
  if (const int chosen = compressors.GetCurSel(); chosen >= 0)
    config.chosenCompressorName = compressors.GetItemText(chosen);

  config.codecTable = CodecsTakingTheProbe();
  ui::Control codecList = optionsDialog.Item(IDC_COMBO_VIDEO_CODECS);
  codecList.ResetContent();
  if (config.codecTable.empty()) return;

  std::vector<std::string> descriptions;
  for (const vfw::ICINFO& codec : config.codecTable) {
    descriptions.push_back(text::TruncateUtf8(codec.szDescription, kDescriptionBytes));
    codecList.AddString(descriptions.back());
  }
  const auto match = MatchingCodec(config.chosenCompressorName, descriptions);
  if (!match) return;
  codecList.SetCurSel(static_cast<int>(*match));
  const int selected = codecList.GetCurSel();
  if (selected < 0 || static_cast<std::size_t>(selected) >= config.codecTable.size()) return;
  const vfw::ICINFO& entry = config.codecTable[static_cast<std::size_t>(selected)];

  const vfw::CodecHandle codec =
      vfw::OpenCodec(entry.fccType, entry.fccHandler, vfw::ICMODE_COMPRESS);
  if (!codec) return;
  const vfw::LRESULT size = vfw::ICGetStateSize(codec.get());
  // A codec without state is not configured.
  if (size <= 0) return;
  PrepareStateBuffer(config, codec.get(), static_cast<std::size_t>(size));

  if (vfw::ICConfigure(codec.get(), &optionsDialog) != vfw::ICERR_OK) return;
  // Only a state the codec actually wrote counts as saved.
  if (vfw::ICGetState(codec.get(), config.stateBuffer.data(), config.stateBuffer.size()) ==
      vfw::ICERR_OK)
    config.stateSaved = true;
}
