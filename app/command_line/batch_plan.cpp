#include "app/command_line/batch_plan.h"

#include <filesystem>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;

// The name the output starts from: the file name up to its last '.' (a
// name that starts with its only '.' keeps it, as hidden files have it).
std::string Stem(const BatchSource& source) {
  std::string name = fs::path(source.given).lexically_normal().filename().string();
  if (name.empty() || name == "." || name == "..")
    name = fs::path(source.resolved).filename().string();
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("output") : name;
}

}  // namespace

BatchPlan PlanBatch(const std::vector<BatchSource>& sources, const std::string& outputFolder,
                    const std::string& extension) {
  BatchPlan plan;
  std::vector<const BatchSource*> unique;
  std::set<std::string> sourcePaths;
  for (const BatchSource& source : sources) {
    if (sourcePaths.insert(source.resolved).second) unique.push_back(&source);
    else plan.notes.push_back(source.given + ": named more than once, converted once");
  }

  const std::string folder = (fs::path(outputFolder) / "").string();
  std::set<std::string> taken = sourcePaths;
  const auto output = [&](const std::string& name) { return folder + name + "." + extension; };
  // Plain names first, so that a source keeps its own name whenever it is
  // free, whatever the order of the others.
  std::vector<std::string> stems;
  std::vector<std::optional<std::string>> outputs(unique.size());
  for (std::size_t i = 0; i < unique.size(); ++i) {
    stems.push_back(Stem(*unique[i]));
    if (taken.insert(output(stems[i])).second) outputs[i] = output(stems[i]);
  }
  for (std::size_t i = 0; i < unique.size(); ++i) {
    if (!outputs[i]) {
      const std::string plain = output(stems[i]);
      for (int n = 2; !outputs[i]; ++n) {
        const std::string numbered = output(stems[i] + "-" + std::to_string(n));
        if (taken.insert(numbered).second) outputs[i] = numbered;
      }
      plan.notes.push_back(unique[i]->given + ": written to " + *outputs[i] + ", as " + plain +
                           (sourcePaths.count(plain) ? " is a source" : " is another source's"));
    }
    plan.items.push_back({unique[i]->given, *outputs[i]});
  }
  return plan;
}
