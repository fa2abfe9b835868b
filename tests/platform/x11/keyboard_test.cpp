// GoogleTest before Xlib, whose macros clash with its names.
#include <gtest/gtest.h>

#include "platform/x11/keyboard.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

TEST(Keyboard, KeySymbolsMapToVirtualKeys) {
    EXPECT_EQ(X11VirtualKey(XK_a), static_cast<UINT>('A'));
    EXPECT_EQ(X11VirtualKey(XK_Z), static_cast<UINT>('Z'));
    EXPECT_EQ(X11VirtualKey(XK_0), static_cast<UINT>('0'));
    EXPECT_EQ(X11VirtualKey(XK_F1), static_cast<UINT>(VK_F1));
    EXPECT_EQ(X11VirtualKey(XK_F4), static_cast<UINT>(VK_F4));
    EXPECT_EQ(X11VirtualKey(XK_F24), static_cast<UINT>(VK_F24));
    EXPECT_EQ(X11VirtualKey(XK_Alt_L), static_cast<UINT>(VK_MENU));
    EXPECT_EQ(X11VirtualKey(XK_Alt_R), static_cast<UINT>(VK_MENU));
    EXPECT_EQ(X11VirtualKey(XK_Escape), static_cast<UINT>(VK_ESCAPE));
    EXPECT_EQ(X11VirtualKey(XK_KP_Enter), static_cast<UINT>(VK_RETURN));
    EXPECT_EQ(X11VirtualKey(XK_KP_7), static_cast<UINT>(VK_NUMPAD0 + 7));
    EXPECT_EQ(X11VirtualKey(XK_Left), static_cast<UINT>(VK_LEFT));
    EXPECT_EQ(X11VirtualKey(XK_VoidSymbol), 0u);
}

TEST(Keyboard, AltAndF10AndAltCombinationsAreSystemKeys) {
    EXPECT_TRUE(X11IsSystemKey(VK_MENU, 0));
    EXPECT_TRUE(X11IsSystemKey(VK_F10, 0));
    EXPECT_TRUE(X11IsSystemKey(VK_F4, Mod1Mask));
    EXPECT_TRUE(X11IsSystemKey('A', Mod1Mask | ShiftMask));
    EXPECT_FALSE(X11IsSystemKey('A', 0));
    EXPECT_FALSE(X11IsSystemKey(VK_F4, ControlMask));
    EXPECT_FALSE(X11IsSystemKey(VK_CONTROL, ControlMask));
}

}  // namespace
