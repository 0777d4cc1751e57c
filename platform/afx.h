// What product code includes to reach the machine and the framework: the
// Win32 operations (through the call table) and our stand-ins for the
// framework's classes.
#pragma once

#include "afx_exception.h"
#include "afx_wnd.h"
#include "cstring.h"
#include "format_buffers.h"
#include "string_array.h"
#include "win_api.h"
