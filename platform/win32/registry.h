// Registry subset: keys and values under HKEY_CURRENT_USER.
#pragma once

#include "platform/win32/types.h"
