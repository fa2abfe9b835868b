// user32: popup menus and the window's system menu.
#pragma once

#include "platform/win32/types.h"

#define MF_STRING 0x00000000L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L

#define TPM_LEFTALIGN 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

HMENU WINAPI CreatePopupMenu(void);
BOOL WINAPI DestroyMenu(HMENU hMenu);
BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
int WINAPI GetMenuItemCount(HMENU hMenu);
UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
// The window's system menu ("&Close" and what the program appends); bRevert
// TRUE restores the standard one and returns NULL.
HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert);
// Shows the menu at screen point (x, y) and runs it until an item is chosen
// or the menu is dismissed. With TPM_RETURNCMD the chosen id is returned
// (0 for none); otherwise WM_COMMAND goes to hWnd (WM_SYSCOMMAND for its
// system menu) and the result is nonzero when an item was chosen.
BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                           const RECT* prcRect);
#define AppendMenu AppendMenuA
#define GetMenuString GetMenuStringA
