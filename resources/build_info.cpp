#include "resources/build_info.h"

// The build defines REELCAST_VERSION from the project's version.
const char* const kProgramVersion = REELCAST_VERSION;
