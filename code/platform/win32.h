// The engine's only door to the operating system. On Windows it is <windows.h> itself; elsewhere
// our portable layer declares the same subset of Win32, with the same names and meanings.
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
