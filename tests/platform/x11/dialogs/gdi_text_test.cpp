// Text measurement and dialog units, bitmaps, pixels, icons, system colours,
// device capabilities, the work area and window positions.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/resources_table.h"
#include "platform/x11/gdi_objects.h"
#include "platform/x11/icons.h"
#include "tests/support/dialog_support.h"

namespace {

class GdiText : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb"; }
};

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos->cx == 333) pos->flags |= SWP_NOMOVE;  // a window that refuses to move
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST_F(GdiText, TextExtentsFollowTheSelectedFont) {
    HWND hDlg =
        CreateDialogIndirectParamA(nullptr, testd::SettingsTemplate().Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    HDC dc = GetDC(hDlg);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hDlg, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    EXPECT_NE(previous, nullptr);  // the DC's default font
    SIZE zero, two, empty, word;
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "0", 1, &zero));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "00", 2, &two));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "", 0, &empty));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "quorix version 2.87", 19, &word));
    EXPECT_GT(zero.cx, 3);
    EXPECT_EQ(two.cx, 2 * zero.cx);  // the digits share one advance width
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, zero.cy);
    EXPECT_GT(word.cx, 10 * zero.cx);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, zero.cy);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    // "MS Sans Serif" 8 pt is 11 pixels at 96 dots per inch.
    EXPECT_GE(tm.tmHeight, 11);
    EXPECT_LE(tm.tmHeight, 15);
    EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 3, &word));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &word));

    // Dialog units come from the same font: 4 across are one average
    // character, 8 down one character height.
    RECT r = {0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(hDlg, &r));
    EXPECT_EQ(r.right, tm.tmAveCharWidth);
    EXPECT_EQ(r.bottom, tm.tmHeight);
    RECT button = {90, 5, 140, 19};  // OK in dialog units
    MapDialogRect(hDlg, &button);
    RECT ok;
    GetWindowRect(GetDlgItem(hDlg, IDOK), &ok);
    EXPECT_EQ(ok.right - ok.left, button.right - button.left);
    EXPECT_EQ(ok.bottom - ok.top, button.bottom - button.top);
    RECT client;
    GetClientRect(hDlg, &client);
    RECT whole = {0, 0, 145, 168};
    MapDialogRect(hDlg, &whole);
    EXPECT_EQ(client.right, whole.right);
    EXPECT_EQ(client.bottom, whole.bottom);
    SelectObject(dc, previous);
    ReleaseDC(hDlg, dc);
    DestroyWindow(hDlg);
}

TEST_F(GdiText, ReleasedDeviceContextsLeaveNothingSelectedBehind) {
    testd::TemplateBuilder t(WS_POPUP, 0, 0, 0, 40, 40, "");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    // The next DC is often allocated where the last one was: it must start afresh.
    for (int round = 0; round < 3; ++round) {
        HDC dc = GetDC(hDlg);
        EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
        EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
        ReleaseDC(hDlg, dc);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), 16);
    DestroyWindow(hDlg);
}

TEST_F(GdiText, BitmapsFromTopDownAndBottomUpRows) {
    // 84 x 68 at 24 bits: rows of 252 bytes, as the About box's button.
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 84;
    header.biHeight = -68;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::vector<uint8_t> bits(252 * 68, 0);
    bits[0] = 1, bits[1] = 2, bits[2] = 3;  // row 0, column 0: blue, green, red
    bits[251 - 2] = 0x10, bits[251 - 1] = 0x20, bits[251] = 0x30;  // row 0, column 83
    bits[252 * 67] = 0xAA;                                         // row 67, column 0 (blue)
    BITMAPINFO info = {};
    info.bmiHeader = header;
    HBITMAP top = CreateDIBitmap(nullptr, &header, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->width, 84);
    EXPECT_EQ(top->height, 68);
    EXPECT_EQ(top->pixels[0], 0x030201u);
    EXPECT_EQ(top->pixels[83], 0x302010u);
    EXPECT_EQ(top->pixels[67 * 84], 0x0000AAu);
    info.bmiHeader.biHeight = 68;  // the same bytes read bottom-up
    HBITMAP bottom = CreateDIBitmap(nullptr, &header, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->pixels[67 * 84], 0x030201u);
    EXPECT_EQ(bottom->pixels[0], 0x0000AAu);
    HBITMAP blank = CreateDIBitmap(nullptr, &header, 0, nullptr, nullptr, DIB_RGB_COLORS);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->pixels[5], 0u);
    info.bmiHeader.biBitCount = 16;
    EXPECT_EQ(CreateDIBitmap(nullptr, &header, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS),
              nullptr);
    header.biWidth = 0;
    EXPECT_EQ(CreateDIBitmap(nullptr, &header, 0, nullptr, nullptr, DIB_RGB_COLORS), nullptr);
    for (HBITMAP b : {top, bottom, blank}) {
        EXPECT_TRUE(DeleteObject(reinterpret_cast<HGDIOBJ>(b)));
        EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(b)));  // gone: refused, not freed twice
    }
}

TEST_F(GdiText, PixelsAndColoursReachTheScreen) {
    testd::TemplateBuilder t(WS_POPUP, 0, 0, 0, 40, 40, "");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    testd::Pump();
    HDC dc = GetDC(hDlg);
    EXPECT_TRUE(SetPixelV(dc, 3, 4, RGB(0x12, 0x34, 0x56)));
    EXPECT_TRUE(SetPixelV(dc, 5, 4, 0x7F000000 | RGB(1, 2, 3)));  // the top byte is no colour
    ReleaseDC(hDlg, dc);
    int w = 0, h = 0;
    const std::vector<uint32_t> pixels = testd::Capture(hDlg, &w, &h);
    EXPECT_EQ(testd::PixelAt(pixels, w, 3, 4), 0x123456u);
    EXPECT_EQ(testd::PixelAt(pixels, w, 5, 4), 0x010203u);
    EXPECT_EQ(testd::PixelAt(pixels, w, 10, 10), 0xD4D0C8u);  // the dialog's face
    EXPECT_FALSE(SetPixelV(nullptr, 0, 0, 0));
    // The classic scheme, as COLORREF (0x00BBGGRR).
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
    EXPECT_EQ(GetSysColor(99), 0u);
    HDC screen = GetDC(hDlg);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    ReleaseDC(hDlg, screen);
    DestroyWindow(hDlg);
}

// A 32 x 32 icon with alpha and a 16 x 16 one with an AND mask.
std::vector<uint8_t> IconDib(int size, int bpp, uint32_t colour) {
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = size;
    header.biHeight = 2 * size;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bpp);
    std::memcpy(dib.data(), &header, sizeof header);
    const int stride = (size * bpp + 31) / 32 * 4;
    for (int y = 0; y < size; ++y) {  // bottom-up: the first row is the bottom one
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < size; ++x) {
            const bool inside = x >= size / 4 && x < 3 * size / 4;
            uint8_t* p = row.data() + x * (bpp / 8);
            p[0] = static_cast<uint8_t>(colour), p[1] = static_cast<uint8_t>(colour >> 8),
            p[2] = static_cast<uint8_t>(colour >> 16);
            if (bpp == 32) p[3] = inside ? 0xFF : 0x00;
        }
        dib.insert(dib.end(), row.begin(), row.end());
    }
    const int maskStride = (size + 31) / 32 * 4;
    for (int y = 0; y < size; ++y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x)
            if (!(x >= size / 4 && x < 3 * size / 4)) row[x / 8] |= 0x80 >> (x % 8);
        dib.insert(dib.end(), row.begin(), row.end());
    }
    return dib;
}

TEST_F(GdiText, IconsFromResourcesDrawAndNameTheWindow) {
    static const std::vector<uint8_t> big = IconDib(32, 32, 0x00FF00);
    static const std::vector<uint8_t> small = IconDib(16, 24, 0x0000FF);
    static const uint8_t group[6 + 2 * 14] = {0,  0, 1,  0, 2, 0, 32,   32, 0,    0,  1, 0,
                                              32, 0, 0,  0, 0, 0, 0x2D, 1,  16,   16, 0, 0,
                                              1,  0, 24, 0, 0, 0, 0,    0,  0x2E, 1};
    EmbeddedResource bigEntry(3, 0x12D, big.data(), static_cast<DWORD>(big.size()));
    EmbeddedResource smallEntry(3, 0x12E, small.data(), static_cast<DWORD>(small.size()));
    EmbeddedResource groupEntry(14, 900, group, sizeof group);
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(900));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(900)), icon);  // loaded once
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(901)), nullptr);
    ASSERT_EQ(icon->images.size(), 2u);
    EXPECT_EQ(icon->images[1].argb[0], 0u);                    // masked out
    EXPECT_EQ(icon->images[1].argb[8 * 16 + 8], 0xFF0000FFu);  // opaque blue

    testd::TemplateBuilder t(WS_POPUP, 0, 0, 0, 40, 40, "");
    t.Item(WS_CHILD | WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, 0, 0, 30, 30, 5, 0x82, "");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    HWND image = GetDlgItem(hDlg, 5);
    EXPECT_EQ(SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0), 0);
    EXPECT_EQ(SendMessageA(image, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    testd::Pump();
    RECT r;
    GetClientRect(image, &r);
    int w = 0, h = 0;
    const std::vector<uint32_t> pixels = testd::Capture(image, &w, &h);
    const int x0 = (r.right - 32) / 2, y0 = (r.bottom - 32) / 2;
    EXPECT_EQ(testd::PixelAt(pixels, w, x0 + 16, y0 + 16), 0x00FF00u);  // centred, opaque
    EXPECT_EQ(testd::PixelAt(pixels, w, x0 + 2, y0 + 16), 0xD4D0C8u);   // transparent
    // WM_SETICON names the window's icons for the window manager.
    SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    EXPECT_EQ(SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
    Display* display = X11Display();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, X11WindowId(hDlg), XInternAtom(display, "_NET_WM_ICON", False), 0,
                       100000, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    EXPECT_EQ(count, 2u + 32 * 32 + 2 + 16 * 16);
    if (data != nullptr) {
        EXPECT_EQ(reinterpret_cast<unsigned long*>(data)[0], 32u);
        XFree(data);
    }
    DestroyWindow(hDlg);
}

TEST_F(GdiText, WorkAreaAndWindowPositions) {
    Display* display = X11Display();
    const Atom workArea = XInternAtom(display, "_NET_WORKAREA", False);
    const long area[4] = {0, 30, 800, 540};
    XChangeProperty(display, DefaultRootWindow(display), workArea, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(area), 4);
    RECT r;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom, 570);
    XDeleteProperty(display, DefaultRootWindow(display), workArea);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0));

    testd::TemplateBuilder t(WS_POPUP, 0, 0, 0, 40, 40, "");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    SetWindowPos(hDlg, nullptr, 100, 50, 200, 120, SWP_NOZORDER | SWP_SHOWWINDOW);
    testd::Pump();
    GetWindowRect(hDlg, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 170);
    RECT adjusted = {0, 0, 512, 512};
    EXPECT_TRUE(AdjustWindowRectEx(&adjusted, WS_CAPTION | WS_SYSMENU, FALSE, 0));
    EXPECT_EQ(adjusted.right, 512);  // frames belong to the window manager
    // The window's WM_WINDOWPOSCHANGING may refuse the move.
    SetWindowPos(hDlg, nullptr, 10, 10, 333, 100, SWP_NOZORDER);
    testd::Pump();
    GetWindowRect(hDlg, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, 333);
    GetClientRect(hDlg, &r);
    EXPECT_EQ(r.right, 333);
    DestroyWindow(hDlg);
}

}  // namespace
