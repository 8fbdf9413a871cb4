#include "options/output_formats.h"

#include <array>

#include "engine/output_settings.h"
#include "platform/ui/message_boxes.h"

namespace {

constexpr std::array<OutputFormat, 7> kFormats{{
    {kFormatAvi, "AVI", "avi", "Audio Video Interleave file(*.avi)", "*.avi",
     OptionsView::Compressor},
    {kFormatWmv, "WMV", "wmv", "Windows Media Video file (*.wmv)", "*.wmv", OptionsView::Bitrate},
    {kFormatMkv, "MKV", "mkv", "Matroska video file(*.mkv)", "*.mkv", OptionsView::Compressor},
    {kFormatAsf, "ASF", "asf", "Advanced Systems Format file(*.asf)", "*.asf",
     OptionsView::Bitrate},
    {kFormatMp4, "MP4", "mp4", "MPEG-4 file(*.mp4)", "*.mp4", OptionsView::Compressor},
    {kFormatDsm, "DSM", "dsm", "DSM file(*.dsm)", "*.dsm", OptionsView::Compressor},
    {kFormatOgm, "OGM", "ogm", "Ogg Media File(*.ogm)", "*.ogm", OptionsView::Compressor},
}};

}  // namespace

const OutputFormat* FindOutputFormat(int id) {
  for (const auto& format : kFormats)
    if (format.id == id) return &format;
  return nullptr;
}

const OutputFormat* FindSupportedFormat(int id) {
  const OutputFormat* format = FindOutputFormat(id);
  if (!format) ui::OwnerlessMessageBox("Does not support the video format", "Error");
  return format;
}

void ReportPathTooLong(const std::string& path) {
  ui::OwnerlessMessageBox("The path is too long (at most " + std::to_string(kMaxPath - 1) +
                              " bytes are allowed):\n" + path,
                          "Error");
}

std::optional<std::string> ApplyExtensionRule(int formatId, const std::string& path) {
  const OutputFormat* format = FindSupportedFormat(formatId);
  if (!format) return std::nullopt;
  std::string stem = path;
  const std::size_t nameStart = stem.find_last_of('/');
  const std::size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart))
    stem.resize(dot);
  std::string result = stem + "." + format->extension;
  if (path.size() >= kMaxPath || result.size() >= kMaxPath) {
    ReportPathTooLong(path);
    return std::nullopt;
  }
  return result;
}

std::optional<std::pair<std::string, std::string>> SaveDialogFilter(int formatId) {
  const OutputFormat* format = FindOutputFormat(formatId);
  if (!format) return std::nullopt;
  return std::make_pair(std::string(format->filterDescription), std::string(format->filterPattern));
}

std::optional<OptionsView> OptionsViewFor(int formatId) {
  const OutputFormat* format = FindOutputFormat(formatId);
  if (!format) return std::nullopt;
  return format->view;
}

int FormatIdFromComboItem(int item) { return item == 1 ? kFormatAsf : kFormatWmv; }

int ComboItemFromFormatId(int formatId) { return formatId == kFormatAsf ? 1 : 0; }
