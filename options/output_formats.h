#pragma once
// The output formats: ids, the extension rule, the save dialog's filter, the
// options view and the format combo's mapping.

#include <optional>
#include <string>
#include <utility>

#include "engine/output_settings.h"

enum class OptionsView { Bitrate, Compressor };

struct OutputFormat {
  int id;
  const char* name;
  const char* extension;  // without the dot
  const char* filterDescription;
  const char* filterPattern;
  OptionsView view;
};

// The format with this id, or null for an unsupported id.
const OutputFormat* FindOutputFormat(int id);

// The same, after showing "Does not support the video format" when the id
// is unsupported.
const OutputFormat* FindSupportedFormat(int id);

// The path with its extension replaced by the format's: the text from the
// last '.' of the file name on is removed (a '.' in a folder name is never a
// cut), then "." and the extension are appended. An unsupported id shows
// "Does not support the video format"; a path that would not fit the
// system's 260-byte buffers is refused with its own message. Both leave the
// caller's path as it was.
std::optional<std::string> ApplyExtensionRule(int formatId, const std::string& path);

// The save dialog's one filter pair (description, pattern), or nothing for
// an unsupported id.
std::optional<std::pair<std::string, std::string>> SaveDialogFilter(int formatId);

// The group of controls the options dialog shows, or nothing for an
// unsupported id.
std::optional<OptionsView> OptionsViewFor(int formatId);

// The format combo offers WMV (item 0) and ASF (item 1).
int FormatIdFromComboItem(int item);
int ComboItemFromFormatId(int formatId);

// Shows the refusal of a path that does not fit the system's buffers.
void ReportPathTooLong(const std::string& path);
