#include "app/shared/status_texts.h"

#include <cstdio>

#include "i18n/language.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char* kGap = "     ";

std::string OutputPart(const std::string& outputPath) {
  return theLanguage.GetMessageText(IDS_MESSAGE_OUTPUT_FILE) + " " + outputPath + kGap +
         theLanguage.GetMessageText(IDS_MESSAGE_RESOLUTION) + " ";
}

}  // namespace

std::string Clock(std::int64_t seconds) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld",
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds % 3600 / 60),
                static_cast<long long>(seconds % 60));
  return buffer;
}

std::string SummaryOriginalSize(const std::string& outputPath) {
  return OutputPart(outputPath) + theLanguage.GetMessageText(IDS_MESSAGE_ORIGINAL_SIZE);
}

std::string SummaryWithSize(const std::string& outputPath, int width, int height) {
  return OutputPart(outputPath) + std::to_string(width) + "*" + std::to_string(height);
}

std::string CompletionSummary(const std::string& outputPath, int width, int height) {
  return theLanguage.GetMessageText(IDS_MESSAGE_CONVERSION_DONE) + ". " +
         SummaryWithSize(outputPath, width, height);
}

std::string ElapsedText(std::int32_t seconds) {
  return "Please wait... Used Time: " + Clock(seconds < 0 ? 0 : seconds);
}

std::string ProgressText(int percent, std::optional<std::int64_t> secondsLeft) {
  std::string text = std::to_string(percent) + "%";
  if (secondsLeft)
    text += "   " + theLanguage.GetMessageText(IDS_MESSAGE_TIME_LEFT) + " " +
            Clock(*secondsLeft < 0 ? 0 : *secondsLeft);
  return text;
}

std::string DurationDisplay(const std::string& fileName, std::int64_t duration) {
  // Whole seconds as a 32-bit count, truncated toward zero.
  const auto seconds = static_cast<std::int32_t>(duration / 10'000'000);
  return fileName + ": " + Clock(seconds < 0 ? 0 : seconds);
}
