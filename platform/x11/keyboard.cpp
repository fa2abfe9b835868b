#include "platform/x11/keyboard.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

UINT X11VirtualKey(KeySym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<UINT>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<UINT>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<UINT>('0' + (keysym - XK_0));
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<UINT>(VK_F1 + (keysym - XK_F1));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return static_cast<UINT>(VK_NUMPAD0 + (keysym - XK_KP_0));
    switch (keysym) {
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Shift_L:
        case XK_Shift_R:
            return VK_SHIFT;
        case XK_Control_L:
        case XK_Control_R:
            return VK_CONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return VK_MENU;
        case XK_Pause:
            return VK_PAUSE;
        case XK_Caps_Lock:
            return VK_CAPITAL;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Prior:
        case XK_KP_Prior:
            return VK_PRIOR;
        case XK_Next:
        case XK_KP_Next:
            return VK_NEXT;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_Insert:
        case XK_KP_Insert:
            return VK_INSERT;
        case XK_Delete:
        case XK_KP_Delete:
            return VK_DELETE;
        case XK_Super_L:
            return VK_LWIN;
        case XK_Super_R:
            return VK_RWIN;
        case XK_Menu:
            return VK_APPS;
        case XK_KP_Multiply:
            return VK_MULTIPLY;
        case XK_KP_Add:
            return VK_ADD;
        case XK_KP_Subtract:
            return VK_SUBTRACT;
        case XK_KP_Decimal:
            return VK_DECIMAL;
        case XK_KP_Divide:
            return VK_DIVIDE;
        case XK_Num_Lock:
            return VK_NUMLOCK;
        case XK_Scroll_Lock:
            return VK_SCROLL;
        case XK_semicolon:
            return VK_OEM_1;
        case XK_equal:
        case XK_plus:
            return VK_OEM_PLUS;
        case XK_comma:
            return VK_OEM_COMMA;
        case XK_minus:
            return VK_OEM_MINUS;
        case XK_period:
            return VK_OEM_PERIOD;
        case XK_slash:
            return VK_OEM_2;
        case XK_grave:
            return VK_OEM_3;
        case XK_bracketleft:
            return VK_OEM_4;
        case XK_backslash:
            return VK_OEM_5;
        case XK_bracketright:
            return VK_OEM_6;
        case XK_apostrophe:
            return VK_OEM_7;
        default:
            return 0;
    }
}

bool X11IsSystemKey(UINT virtualKey, unsigned int state) {
    return virtualKey == VK_MENU || virtualKey == VK_F10 || (state & Mod1Mask) != 0;
}
