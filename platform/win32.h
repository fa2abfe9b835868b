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
#include "platform/win32/types.h"
#include "platform/win32/kernel.h"
#include "platform/win32/memory.h"
#include "platform/win32/gdi.h"
#include "platform/win32/messages.h"
#include "platform/win32/user.h"
#include "platform/win32/registry.h"
#include "platform/win32/resources.h"
#include "platform/win32/dialogs.h"
#endif
