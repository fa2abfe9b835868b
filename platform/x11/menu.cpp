// Popup menus and the system menu. X11 window managers do not show an
// application's system menu, so ours opens on Alt+Space and on a right click
// in the dialog. A menu runs as an override-redirect window with the pointer
// and keyboard grabbed until an item is chosen or the menu is dismissed.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/x11/menu.h"

#include "platform/x11/display.h"
#include "platform/x11/drawing.h"
#include "platform/x11/text.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::string text;
};

struct HMENU__ {
    std::vector<MenuItem> items;
};

LRESULT CALLBACK X11MenuProc(HWND, UINT, WPARAM, LPARAM);

namespace {

constexpr char kMenuClass[] = "#32768";
constexpr int kBorder = 3;
constexpr int kLeftPad = 20;
constexpr int kRightPad = 20;
constexpr int kShortcutGap = 24;
constexpr int kSeparatorHeight = 9;

std::vector<HMENU>& LiveMenus() {
    static auto* menus = new std::vector<HMENU>;
    return *menus;
}

bool Live(HMENU menu) {
    const auto& menus = LiveMenus();
    return menu != nullptr && std::find(menus.begin(), menus.end(), menu) != menus.end();
}

bool Selectable(const MenuItem& item) {
    return (item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) == 0;
}

// The menu being shown (one at a time).
struct ActiveMenu {
    HMENU menu = nullptr;
    HWND window = nullptr;
    std::vector<RECT> rects;
    int hot = -1;
    int labelWidth = 0;
    bool done = false;
    int chosen = -1;
};
ActiveMenu* g_active = nullptr;

void Split(const std::string& text, std::string* label, std::string* shortcut) {
    const size_t tab = text.find('\t');
    *label = tab == std::string::npos ? text : text.substr(0, tab);
    *shortcut = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

SIZE LayoutMenu(ActiveMenu* m) {
    HFONT font = X11DefaultFont();
    const int itemHeight = X11FontHeight(font) + 6;
    int labelWidth = 0, shortcutWidth = 0;
    for (const MenuItem& item : m->menu->items) {
        std::string label, shortcut;
        Split(X11StripPrefix(item.text, nullptr), &label, &shortcut);
        labelWidth = std::max<int>(
            labelWidth, X11TextExtent(font, label.data(), static_cast<int>(label.size())).cx);
        shortcutWidth = std::max<int>(
            shortcutWidth,
            X11TextExtent(font, shortcut.data(), static_cast<int>(shortcut.size())).cx);
    }
    m->labelWidth = labelWidth;
    const int width = 2 * kBorder + kLeftPad + labelWidth +
                      (shortcutWidth > 0 ? kShortcutGap + shortcutWidth : 0) + kRightPad;
    int y = kBorder;
    m->rects.clear();
    for (const MenuItem& item : m->menu->items) {
        const int h = (item.flags & MF_SEPARATOR) != 0 ? kSeparatorHeight : itemHeight;
        m->rects.push_back(RECT{kBorder, y, width - kBorder, y + h});
        y += h;
    }
    return SIZE{std::max(width, 60), y + kBorder};
}

void PaintMenu(HWND hWnd) {
    ActiveMenu* m = g_active;
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (m == nullptr || m->window != hWnd || record == nullptr) return;
    const Window xid = record->xid;
    HFONT font = X11DefaultFont();
    X11FillRect(xid, 0, 0, record->width, record->height, GetSysColor(COLOR_MENU));
    X11RaisedEdge(xid, RECT{0, 0, record->width, record->height});
    for (size_t i = 0; i < m->menu->items.size(); ++i) {
        const MenuItem& item = m->menu->items[i];
        const RECT& r = m->rects[i];
        if ((item.flags & MF_SEPARATOR) != 0) {
            const int y = (r.top + r.bottom) / 2 - 1;
            X11Line(xid, r.left + 1, y, r.right - 2, y, GetSysColor(COLOR_BTNSHADOW));
            X11Line(xid, r.left + 1, y + 1, r.right - 2, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
            continue;
        }
        const bool hot = static_cast<int>(i) == m->hot;
        const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        if (hot)
            X11FillRect(xid, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        GetSysColor(COLOR_HIGHLIGHT));
        const COLORREF ink = hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT);
        std::string label, shortcut;
        Split(item.text, &label, &shortcut);
        const bool embossed = grayed && !hot;
        X11DrawLabel(xid, font, RECT{r.left + kLeftPad, r.top, r.right, r.bottom}, label, 0, true,
                     false, false, embossed, grayed && hot ? GetSysColor(COLOR_GRAYTEXT) : ink);
        if (!shortcut.empty())
            X11DrawLabel(
                xid, font,
                RECT{r.left + kLeftPad + m->labelWidth + kShortcutGap, r.top, r.right, r.bottom},
                shortcut, 0, true, false, true, embossed, ink);
    }
}

int ItemAt(const ActiveMenu* m, int x, int y) {
    for (size_t i = 0; i < m->rects.size(); ++i) {
        const RECT& r = m->rects[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(i);
    }
    return -1;
}

void SetHot(ActiveMenu* m, int hot) {
    if (m->hot == hot) return;
    m->hot = hot;
    InvalidateRect(m->window, nullptr, TRUE);
}

void MoveHot(ActiveMenu* m, int direction) {
    const int n = static_cast<int>(m->menu->items.size());
    if (n == 0) return;
    int at = m->hot;
    for (int step = 0; step < n; ++step) {
        at = at < 0 ? (direction > 0 ? 0 : n - 1) : (at + direction + n) % n;
        if ((m->menu->items[static_cast<size_t>(at)].flags & MF_SEPARATOR) == 0) {
            SetHot(m, at);
            return;
        }
    }
}

void Choose(ActiveMenu* m, int index) {
    if (index < 0 || index >= static_cast<int>(m->menu->items.size())) return;
    if (!Selectable(m->menu->items[static_cast<size_t>(index)])) return;
    m->chosen = index;
    m->done = true;
}

void Key(ActiveMenu* m, UINT key) {
    switch (key) {
        case VK_UP:
            MoveHot(m, -1);
            return;
        case VK_DOWN:
            MoveHot(m, 1);
            return;
        case VK_RETURN:
            Choose(m, m->hot);
            return;
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10:
            m->done = true;
            return;
        default:
            break;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        for (size_t i = 0; i < m->menu->items.size(); ++i) {
            if (X11Mnemonic(m->menu->items[i].text) == static_cast<char>(key)) {
                Choose(m, static_cast<int>(i));
                return;
            }
        }
    }
}

void RegisterMenuClass() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = X11MenuProc;
    wc.lpszClassName = kMenuClass;
    RegisterClassA(&wc);
}

// Runs the menu; the index of the chosen item or -1.
int RunMenu(HMENU menu, int x, int y, bool keyboard) {
    if (!Live(menu) || menu->items.empty() || g_active != nullptr) return -1;
    Display* display = X11Display();
    if (display == nullptr) return -1;
    RegisterMenuClass();
    ActiveMenu active;
    active.menu = menu;
    const SIZE size = LayoutMenu(&active);
    // On the primary monitor.
    const X11ScreenArea area = X11PrimaryArea();
    x = std::clamp(x, 0, std::max(0, area.width - static_cast<int>(size.cx)));
    y = std::clamp(y, 0, std::max(0, area.height - static_cast<int>(size.cy)));
    g_active = &active;
    active.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP, x,
                                    y, size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    if (active.window == nullptr) {
        g_active = nullptr;
        return -1;
    }
    if (keyboard) MoveHot(&active, 1);
    ShowWindow(active.window, SW_SHOW);
    const Window xid = X11WindowId(active.window);
    XGrabPointer(display, xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(display, xid, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XFlush(display);
    while (!active.done && X11FindWindow(active.window) != nullptr) {
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        const bool input = (msg.message >= WM_KEYDOWN && msg.message <= 0x0109) ||
                           (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MOUSEHWHEEL);
        if (input && msg.hwnd != active.window) {
            // A click elsewhere dismisses the menu; other input is dropped.
            if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) active.done = true;
            continue;
        }
        DispatchMessageA(&msg);
    }
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    if (X11FindWindow(active.window) != nullptr) DestroyWindow(active.window);
    XFlush(display);
    g_active = nullptr;
    return active.chosen;
}

}  // namespace

LRESULT CALLBACK X11MenuProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ActiveMenu* m = g_active != nullptr && g_active->window == hWnd ? g_active : nullptr;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hWnd, &ps);
            PaintMenu(hWnd);
            EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;
        case WM_MOUSEMOVE:
            if (m != nullptr) {
                const int at = ItemAt(m, static_cast<short>(LOWORD(lParam)),
                                      static_cast<short>(HIWORD(lParam)));
                if (at >= 0 && (m->menu->items[static_cast<size_t>(at)].flags & MF_SEPARATOR) == 0)
                    SetHot(m, at);
                else if (at < 0)
                    SetHot(m, -1);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (m != nullptr) {
                RECT client;
                GetClientRect(hWnd, &client);
                const POINT pt = {static_cast<short>(LOWORD(lParam)),
                                  static_cast<short>(HIWORD(lParam))};
                if (!PtInRect(&client, pt)) m->done = true;  // pressed outside the menu
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (m != nullptr)
                Choose(m, ItemAt(m, static_cast<short>(LOWORD(lParam)),
                                 static_cast<short>(HIWORD(lParam))));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (m != nullptr) Key(m, static_cast<UINT>(wParam));
            return 0;
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

HMENU WINAPI CreatePopupMenu(void) {
    auto* menu = new HMENU__;
    LiveMenus().push_back(menu);
    return menu;
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (!Live(hMenu) || (g_active != nullptr && g_active->menu == hMenu)) return FALSE;
    auto& menus = LiveMenus();
    menus.erase(std::find(menus.begin(), menus.end(), hMenu));
    delete hMenu;
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    if (!Live(hMenu) || (uFlags & MF_POPUP) != 0) return FALSE;  // no submenus here
    MenuItem item;
    item.flags = uFlags;
    item.id = uIDNewItem;
    if ((uFlags & MF_SEPARATOR) == 0) {
        if (lpNewItem == nullptr) return FALSE;
        item.text = lpNewItem;
    }
    hMenu->items.push_back(std::move(item));
    if (g_active != nullptr && g_active->menu == hMenu)
        InvalidateRect(g_active->window, nullptr, TRUE);
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    return Live(hMenu) ? static_cast<int>(hMenu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    if (!Live(hMenu) || nPos < 0 || nPos >= static_cast<int>(hMenu->items.size())) return UINT(-1);
    const MenuItem& item = hMenu->items[static_cast<size_t>(nPos)];
    return (item.flags & MF_SEPARATOR) != 0 ? 0 : static_cast<UINT>(item.id);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    if (!Live(hMenu)) return 0;
    const MenuItem* found = nullptr;
    if ((flags & MF_BYPOSITION) != 0) {
        if (uIDItem < hMenu->items.size()) found = &hMenu->items[uIDItem];
    } else {
        for (const MenuItem& item : hMenu->items)
            if ((item.flags & MF_SEPARATOR) == 0 && item.id == uIDItem) {
                found = &item;
                break;
            }
    }
    if (found == nullptr) return 0;
    if (lpString == nullptr || cchMax <= 0) return static_cast<int>(found->text.size());
    const int n = std::min(static_cast<int>(found->text.size()), cchMax - 1);
    found->text.copy(lpString, static_cast<size_t>(n));
    lpString[n] = '\0';
    return n;
}

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    WindowExtra* extra = X11Extra(hWnd, true);
    if (extra == nullptr) return nullptr;
    if (bRevert) {
        if (extra->systemMenu != nullptr) DestroyMenu(extra->systemMenu);
        extra->systemMenu = nullptr;
        return nullptr;
    }
    if (extra->systemMenu == nullptr) {
        extra->systemMenu = CreatePopupMenu();
        AppendMenuA(extra->systemMenu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    }
    return extra->systemMenu;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
    const int chosen = RunMenu(hMenu, x, y, false);
    if (hWnd != nullptr && X11FindWindow(hWnd) != nullptr && IsWindowVisible(hWnd)) SetFocus(hWnd);
    if (chosen < 0) return FALSE;
    const UINT id = static_cast<UINT>(hMenu->items[static_cast<size_t>(chosen)].id);
    if ((uFlags & TPM_RETURNCMD) != 0) return static_cast<BOOL>(id);
    if ((uFlags & TPM_NONOTIFY) == 0) PostMessageA(hWnd, WM_COMMAND, id, 0);
    return TRUE;
}

void X11TrackSystemMenu(HWND hWnd, int x, int y, bool fromKeyboard) {
    HMENU menu = GetSystemMenu(hWnd, FALSE);
    if (menu == nullptr) return;
    if (fromKeyboard) {
        POINT origin = {0, 0};
        ClientToScreen(hWnd, &origin);
        x = origin.x;
        y = origin.y;
    }
    const int chosen = RunMenu(menu, x, y, fromKeyboard);
    if (X11FindWindow(hWnd) != nullptr && IsWindowVisible(hWnd)) SetFocus(hWnd);
    if (chosen < 0 || !Live(menu) || chosen >= static_cast<int>(menu->items.size())) return;
    // Posted, so that the menu is gone before the command runs (it may open a dialog).
    PostMessageA(hWnd, WM_SYSCOMMAND, menu->items[static_cast<size_t>(chosen)].id,
                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}
