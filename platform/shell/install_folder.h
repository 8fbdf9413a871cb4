#pragma once
// Where the program's own files (language files, help) are looked for: the
// folder above the program's folder when that one holds the marker file (the
// build tree, or prefix/bin/program beside prefix/language/...), the
// program's folder itself, or the platform's shared-data folder of an
// installed tree (prefix/bin/program beside prefix/share/reelcast/...).

#include <string>

namespace shell {

// The program folder is `executablePath` up to its last '/', the parent
// folder that folder up to its last '/'. The first of parent, program folder
// and parent + "/share/reelcast" where folder + "/" + marker names an
// existing file; the program folder when none does (also when the program
// folder has no '/'). A path without '/' has the current folder "." as its
// program folder.
std::string InstallFolderHolding(const std::string& executablePath, const std::string& marker);

// The path of one of the running program's own files, given relative to
// the folder that holds such files: "help/Introduction.htm".
std::string ProgramFilePath(const std::string& relative);

}  // namespace shell
