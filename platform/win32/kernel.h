// Kernel subset: events, critical sections, threads, ticks, Sleep.
#pragma once

#include "platform/win32/types.h"
