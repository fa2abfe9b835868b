// Resource subset: FindResourceA, LoadResource, LockResource, SizeofResource.
#pragma once

#include "platform/win32/types.h"

// Predefined resource types.
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)

// Version-resource constants: the signature that opens the fixed file
// information and the pre-release file flag.
#define VS_FFI_SIGNATURE 0xFEEF04BDL
#define VS_FF_PRERELEASE 0x00000002L

// Resources of a module; a null module is the program itself. Names and types
// are integer resources (MAKEINTRESOURCEA) or texts of the form "#123".
HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
