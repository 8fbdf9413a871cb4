#include "platform/shell/install_folder.h"

#include "platform/shell/shell.h"

namespace shell {

std::string InstallFolderHolding(const std::string& executablePath, const std::string& marker) {
  const std::size_t slash = executablePath.rfind('/');
  // A path without any folder (the path could not be read) stands for the
  // current folder, not for the root that "" + "/language" would name.
  const std::string programFolder =
      slash == std::string::npos ? std::string(".") : executablePath.substr(0, slash);
  const std::size_t parentSlash = programFolder.rfind('/');
  if (parentSlash == std::string::npos) return programFolder;
  const std::string parentFolder = programFolder.substr(0, parentSlash);
  const auto holds = [&](const std::string& folder) { return FileExists(folder + "/" + marker); };
  if (holds(parentFolder)) return parentFolder;
  if (holds(programFolder)) return programFolder;
  // An installed tree keeps the program's data apart from its programs.
  const std::string shared = parentFolder + "/share/reelcast";
  if (holds(shared)) return shared;
  return programFolder;
}

std::string ProgramFilePath(const std::string& relative) {
  return InstallFolderHolding(ExecutablePath(), relative) + "/" + relative;
}

}  // namespace shell
