#pragma once
// The program's own pages: the one place to change them. Each is a path
// below the folder that holds the program's help (see shell::ProgramFilePath).

// The home page among the help pages; the Homepage button opens it unless
// the build configured an address (kConfiguredHomePage).
constexpr const char* kHomePageFile = "help/Reelcast.htm";
// Opened when the Matroska multiplexer (MKV and MP4 output) is missing.
constexpr const char* kMatroskaRemedyPage = "help/Matroska.htm";
// Opened when the DSM multiplexer is missing.
constexpr const char* kDsmRemedyPage = "help/Dsm.htm";
