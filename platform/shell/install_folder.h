#pragma once
// Where the program's own files (language files, help) are looked for: the
// program's folder, or the folder above it when that one holds the marker
// file, as in an installed tree (prefix/bin/program, prefix/language/...).

#include <string>

namespace shell {

// The program folder is `executablePath` up to its last '/', the parent
// folder that folder up to its last '/'. The parent folder when
// parent + "/" + marker names an existing file, else the program folder
// (also when the program folder has no '/'). A path without '/' has the
// current folder "." as its program folder.
std::string InstallFolderHolding(const std::string& executablePath, const std::string& marker);

}  // namespace shell
