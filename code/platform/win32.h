// The engine's door to the operating system's calls, beside file_places.h (where its files live)
// and window_scale.h (how large a window is shown), the only other two. On Windows it is
// <windows.h> itself; elsewhere our portable layer declares the same subset of Win32, with the
// same names and meanings, and serves it from a backend.
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
#include "platform/portable/win32_api.h"
#endif
