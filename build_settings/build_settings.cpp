// The build settings' values come from the build (SETUP_VERSION, SETUP_BUILD_BITS).
#include "build_settings.h"

const int g_nSetupVersion = SETUP_VERSION;
const int g_nBuildBits = SETUP_BUILD_BITS;
