// Dialog and control subset: in-memory templates, modal dialogs, controls, menus.
#pragma once

#include "platform/win32/types.h"
