#pragma once
// A file: URL for a local path.

#include <string>

namespace text {

// "file://" and the absolute, normalised path, with every byte a URL cannot
// carry as it is percent-encoded (so blanks, '#', '%' and non-ASCII letters
// survive the trip through a browser). A relative path is taken from the
// current folder; empty when there is none.
std::string FileUrl(const std::string& path);

}  // namespace text
