#pragma once
// What a run has written so far toward its output, which it writes under a
// temporary name of its own until its end.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/gst/pipeline/output_file.h"

namespace test_support {

// The temporary file a run writes toward `output`; empty when there is none.
inline std::string WritingToward(const std::string& output) {
  namespace fs = std::filesystem;
  const fs::path path(output);
  const std::string prefix = "." + path.filename().string();
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(path.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && gst::IsTemporaryOutputName(name)) return entry.path();
  }
  return {};
}

// The size of what a run has written toward `output`: its temporary file,
// or the output itself once the run gave it its name; 0 for none.
inline std::uintmax_t BytesWrittenToward(const std::string& output) {
  std::error_code error;
  const std::string writing = WritingToward(output);
  const std::uintmax_t size = std::filesystem::file_size(writing.empty() ? output : writing, error);
  return error ? 0 : size;
}

}  // namespace test_support
