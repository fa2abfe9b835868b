// Virtual memory subset: VirtualAlloc and VirtualFree.
#pragma once

#include "platform/win32/types.h"

#define PAGE_NOACCESS 0x01
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04

#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_DECOMMIT 0x00004000
#define MEM_RELEASE 0x00008000

// Reserves and/or commits pages. Committed pages read as zero. Returns NULL on failure
// (for example a size of 0).
LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType,
                           DWORD flProtect);
// Decommits pages, or with MEM_RELEASE (and a size of 0) releases a whole region that
// VirtualAlloc reserved.
BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType);
