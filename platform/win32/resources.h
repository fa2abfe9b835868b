// Resource subset: FindResourceA, LoadResource, LockResource, SizeofResource.
#pragma once

#include "platform/win32/types.h"
