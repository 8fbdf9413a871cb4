#pragma once
// The texts the main window shows in its two panes.

#include <cstdint>
#include <optional>
#include <string>

// "Output file: PATH     Resolution: Original size"
std::string SummaryOriginalSize(const std::string& outputPath);
// "Output file: PATH     Resolution: W*H"
std::string SummaryWithSize(const std::string& outputPath, int width, int height);
// "Done. Output file: PATH     Resolution: W*H"
std::string CompletionSummary(const std::string& outputPath, int width, int height);
// "HH:MM:SS" for a count of seconds (hours above 99 take more digits).
std::string Clock(std::int64_t seconds);
// "Please wait... Used Time: HH:MM:SS"
std::string ElapsedText(std::int32_t seconds);
// What the progress bar says: "42%", or "42%   Time left: HH:MM:SS" once
// the time left is known.
std::string ProgressText(int percent, std::optional<std::int64_t> secondsLeft);
// "NAME: HH:MM:SS" for a duration in 100-ns units (seconds truncated).
std::string DurationDisplay(const std::string& fileName, std::int64_t duration);
