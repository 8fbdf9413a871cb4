#pragma once
// The file a run writes. It is written under a temporary name of its own,
// hidden beside the output ("." + the output's name + ".reelcast-" + the
// writer's process id + "-" + six letters), and takes the output's name
// with one atomic rename only when the run is whole: a run that fails, or a
// process that is killed, never costs the file that had the name before,
// and of two runs on one name the later rename wins while neither removes a
// file the other writes. While it writes, the run holds a lock on its
// temporary file; a temporary file that no live process holds is a killed
// run's, and the next run into the folder removes it.

#include <string>
#include <string_view>

#include "platform/gst/result.h"

namespace gst {

class OutputFile {
 public:
  // Begins a run's file for `path`: removes the abandoned temporary files of
  // the folder, then makes and locks a new one. Fails, with the reason, when
  // the folder takes no new file.
  static Result<OutputFile> Begin(const std::string& path);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless it was kept.
  ~OutputFile();

  // Where the run writes.
  const std::string& WritingPath() const { return writing_; }
  // The name the file takes when it is kept (a symbolic link's target).
  const std::string& FinalPath() const { return final_; }
  // Gives the written file the output's name, replacing what had it.
  Result<void> Keep();

 private:
  OutputFile(std::string final, std::string writing, int lock)
      : final_(std::move(final)), writing_(std::move(writing)), lock_(lock) {}
  void Release();

  std::string final_;
  std::string writing_;
  int lock_ = -1;  // an open descriptor of the temporary file, holding its lock
  bool kept_ = false;
};

// Whether `fileName` has the form of this program's temporary files.
bool IsTemporaryOutputName(std::string_view fileName);

}  // namespace gst
