#pragma once
// How a conversion tells the reelcast-convert that started it how far it
// is: one line on standard output per report,
// "progress ELAPSED POSITION DURATION" (whole seconds, then 100-ns units or
// "-" where the graph does not know them).

#include <optional>
#include <string>
#include <string_view>

#include "app/command_line/console_progress.h"

// The report line, without its line end.
std::string ProgressReportLine(const ProgressSnapshot& snapshot);

// The snapshot a report line carries; nothing for any other text.
std::optional<ProgressSnapshot> ReadProgressReport(std::string_view line);
