// The one header for Win32 names. On Windows it is <windows.h>; elsewhere it is
// our own declarations of the subset the code above the platform layer uses,
// with the real names, signatures, constant values and semantics.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#include <windows.h>
// clang-format off
#include <commctrl.h>  // the control class names and the trackbar
// clang-format on
#else
// One header per system library, as on Windows: kernel32 (kernel.h), user32
// (user_*.h), gdi32 (gdi.h), advapi32 (advapi.h) and comctl32 (comctl.h), on
// the basic types of types.h.
#include "platform/win32/advapi.h"
#include "platform/win32/comctl.h"
#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"
#include "platform/win32/types.h"
#include "platform/win32/user_dialogs.h"
#include "platform/win32/user_menus.h"
#include "platform/win32/user_messages.h"
#include "platform/win32/user_paint.h"
#include "platform/win32/user_rect.h"
#include "platform/win32/user_windows.h"
#endif
