#pragma once
// Facts fixed when the program is built.

// The program's version, from the build ("1.1").
extern const char* const kProgramVersion;
// The home page address configured for the build (REELCAST_HOME_PAGE);
// empty when none was, and the home page among the help pages serves.
extern const char* const kConfiguredHomePage;
