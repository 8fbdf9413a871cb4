#pragma once
// A file: URL for a local path.

#include <string>

namespace text {

// "file://" and the absolute path, every byte other than an unreserved
// character or '/' percent-encoded (so blanks, '#', '%' and non-ASCII
// letters survive the trip through a browser). A relative path is taken
// from the current folder.
std::string FileUrl(const std::string& path);

}  // namespace text
