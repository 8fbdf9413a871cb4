#include "resources/build_info.h"

// The build defines both from the project's version and its cache.
const char* const kProgramVersion = REELCAST_VERSION;
const char* const kConfiguredHomePage = REELCAST_HOME_PAGE;
