// Build settings, fixed when the program is built: the setup version as
// yyyymmdd and the bitness of the AutoCAD edition this build installs for.
#pragma once

extern const int g_nSetupVersion;
extern const int g_nBuildBits;
