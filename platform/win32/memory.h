// Virtual memory subset: VirtualAlloc and VirtualFree.
#pragma once

#include "platform/win32/types.h"
