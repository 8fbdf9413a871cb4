// Writes the manual pages of reelcast and reelcast-convert into a folder,
// from the same text as their --help; run by the build.

#include <fstream>
#include <iostream>

#include "app/command_line/convert_options.h"
#include "app/shared/command_help.h"
#include "app/window/reelcast_help.h"
#include "resources/build_info.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: reelcast-man-pages FOLDER\n";
    return 2;
  }
  for (const CommandHelp* help : {&ReelcastCommandHelp(), &ConvertCommandHelp()}) {
    const std::string path = std::string(argv[1]) + "/" + help->program + ".1";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << ManPage(*help, kProgramVersion);
    if (!out.flush()) {
      std::cerr << "reelcast-man-pages: cannot write " << path << '\n';
      return 1;
    }
  }
  return 0;
}
