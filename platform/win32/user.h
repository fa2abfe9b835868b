// User subset: window classes, windows, window messages, system metrics, the cursor.
#pragma once

#include "platform/win32/types.h"
