// The per-window extras, the window words (GetWindowLongPtrA and
// SetWindowLongPtrA) and GetWindow's relations.
#include "platform/x11/window_extra.h"

#include <algorithm>
#include <unordered_map>

#include "platform/x11/window.h"

namespace {

std::unordered_map<HWND, WindowExtra>& Extras() {
    static auto* extras = new std::unordered_map<HWND, WindowExtra>;
    return *extras;
}

bool IsTopLevel(const X11WindowRecord* record) {
    return (record->style & WS_CHILD) == 0;
}

}  // namespace

WindowExtra* X11Extra(HWND hWnd, bool create) {
    if (X11FindWindow(hWnd) == nullptr) return nullptr;
    auto& extras = Extras();
    auto found = extras.find(hWnd);
    if (found != extras.end()) return &found->second;
    if (!create) return nullptr;
    return &extras[hWnd];
}

void X11ForgetExtra(HWND hWnd) {
    auto& extras = Extras();
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record != nullptr && record->parent != nullptr) {
        auto parent = extras.find(record->parent);
        if (parent != extras.end()) {
            auto& list = parent->second.children;
            list.erase(std::remove(list.begin(), list.end(), hWnd), list.end());
        }
    }
    extras.erase(hWnd);
}

std::vector<HWND> X11Children(HWND hWnd) {
    std::vector<HWND> live;
    WindowExtra* extra = X11Extra(hWnd, false);
    if (extra == nullptr) return live;
    for (HWND child : extra->children)
        if (X11FindWindow(child) != nullptr) live.push_back(child);
    return live;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return 0;
    WindowExtra* extra = X11Extra(hWnd, false);
    DialogWords* dialog = extra != nullptr ? extra->dialog : nullptr;
    switch (nIndex) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(record->proc);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(record->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(record->exStyle);
        case GWLP_ID:
            return static_cast<LONG_PTR>(record->id);
        case GWLP_USERDATA:
            return extra != nullptr ? extra->userData : 0;
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(record->parent != nullptr
                                                  ? record->parent
                                                  : (extra != nullptr ? extra->owner : nullptr));
        case DWLP_MSGRESULT:
            return dialog != nullptr ? dialog->msgResult : 0;
        case DWLP_DLGPROC:
            return dialog != nullptr ? reinterpret_cast<LONG_PTR>(dialog->proc) : 0;
        case DWLP_USER:
            return dialog != nullptr ? dialog->user : 0;
        default:
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return 0;
    const LONG_PTR previous = GetWindowLongPtrA(hWnd, nIndex);
    WindowExtra* extra = X11Extra(hWnd, true);
    DialogWords* dialog = extra->dialog;
    switch (nIndex) {
        case GWLP_WNDPROC:
            if (dwNewLong == 0) return 0;
            record->proc = reinterpret_cast<WNDPROC>(dwNewLong);
            break;
        case GWL_STYLE:
            X11SetStyle(hWnd, static_cast<DWORD>(dwNewLong));
            break;
        case GWL_EXSTYLE:
            record->exStyle = static_cast<DWORD>(dwNewLong);
            break;
        case GWLP_ID:
            record->id = static_cast<UINT_PTR>(dwNewLong);
            break;
        case GWLP_USERDATA:
            extra->userData = dwNewLong;
            break;
        case DWLP_MSGRESULT:
            if (dialog != nullptr) dialog->msgResult = dwNewLong;
            break;
        case DWLP_DLGPROC:
            if (dialog != nullptr) dialog->proc = reinterpret_cast<DLGPROC>(dwNewLong);
            break;
        case DWLP_USER:
            if (dialog != nullptr) dialog->user = dwNewLong;
            break;
        default:
            return 0;
    }
    return previous;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return nullptr;
    switch (uCmd) {
        case GW_OWNER: {
            if (!IsTopLevel(record)) return nullptr;
            WindowExtra* extra = X11Extra(hWnd, false);
            return extra != nullptr ? extra->owner : nullptr;
        }
        case GW_CHILD: {
            const std::vector<HWND> children = X11Children(hWnd);
            return children.empty() ? nullptr : children.front();
        }
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            const std::vector<HWND> siblings = X11Children(record->parent);
            auto at = std::find(siblings.begin(), siblings.end(), hWnd);
            if (at == siblings.end()) return nullptr;
            if (uCmd == GW_HWNDNEXT) return at + 1 != siblings.end() ? *(at + 1) : nullptr;
            return at != siblings.begin() ? *(at - 1) : nullptr;
        }
        default:
            return nullptr;
    }
}
