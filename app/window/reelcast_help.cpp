#include "app/window/reelcast_help.h"

#include <iostream>

#include "resources/build_info.h"

const CommandHelp& ReelcastCommandHelp() {
  static const CommandHelp help = [] {
    CommandHelp h;
    h.program = "reelcast";
    h.summary = "convert a video file into Windows Media, AVI, MKV or MP4";
    h.synopsis = {"[FILE]", "--help | --version"};
    h.description = {
        "Reelcast is a desktop video converter. Open one video with Open Video, choose the "
        "output options with Options, press Convert, and Reelcast writes one new file while it "
        "shows how long the conversion has been running. Stop ends a conversion early and "
        "keeps a playable file of what was converted so far.",
        "With FILE, the window starts with FILE opened as Open Video opens a video (a file "
        "manager's Open with does this); a video dropped on the window opens the same way.",
        "Help opens the help pages in the web browser (F1 does the same); a click with the "
        "right mouse button on the window chooses the language and the font of the window.",
        "The same conversion runs without a window, for scripts: see reelcast-convert(1)."};
    h.options = {{{"h", "help"}, "", "Show this text and exit."},
                 {{"version"}, "", "Show the version and exit."}};
    h.sections = {
        {"Files",
         {"~/.config/TARNWICK/reelcast.conf: the settings Reelcast remembers (the output "
          "options, the folder of the last video opened, the language and its font).",
          "language/*.ini and help/ beside the program's folder, or in share/reelcast/ of the "
          "installed tree: the language files and the help pages."}},
        {"See also", {"reelcast-convert(1)"}}};
    return h;
  }();
  return help;
}

std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") {
      std::cout << HelpText(ReelcastCommandHelp());
      return 0;
    }
    if (argument == "--version") {
      std::cout << VersionText(ReelcastCommandHelp(), kProgramVersion);
      return 0;
    }
  }
  return std::nullopt;
}
