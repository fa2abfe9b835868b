// Messages subset: MSG, the thread message queue and loop, timers.
#pragma once

#include "platform/win32/types.h"
