#pragma once
// Where each source of a many-file run is written: the output folder, the
// source's file name up to its last '.', and the format's extension, with
// the clashes resolved so that no two sources share an output file and no
// output file is a source.

#include <string>
#include <vector>

struct BatchSource {
  std::string given;     // as the command line named it
  std::string resolved;  // absolute, with links followed: one file, one text
};

struct BatchItem {
  std::string source;  // as given
  std::string output;  // in the output folder
};

struct BatchPlan {
  std::vector<BatchItem> items;  // in the order of the sources
  // What the plan changed, one line each, for the user to read: a source
  // named twice, a name taken by another source.
  std::vector<std::string> notes;
};

// `outputFolder` is absolute, with links followed as for the sources;
// `extension` comes without its dot. A source named twice (the same
// resolved path) is planned once. When outputs would clash, the earlier
// source keeps the plain name and a later one gets "-2", "-3", ... after its
// name; a name that is one of the sources is never given.
BatchPlan PlanBatch(const std::vector<BatchSource>& sources, const std::string& outputFolder,
                    const std::string& extension);
