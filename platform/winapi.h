// The Windows calls the plug-in makes, and nothing else: the real ones on
// Windows, our in-process stand-ins everywhere else.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/win_standin.h"
#endif
