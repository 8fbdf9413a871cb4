#pragma once
// Facts fixed when the program is built.

// The program's version, from the build ("1.1").
extern const char* const kProgramVersion;
