// GDI subset: bitmap headers, device contexts, SetDIBitsToDevice and the rectangle helpers.
#pragma once

#include "platform/win32/types.h"
