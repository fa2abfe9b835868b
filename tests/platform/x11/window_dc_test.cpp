// Presenting frames through a window DC on servers of every kind of visual,
// read back from the server.
// GoogleTest before Xlib, whose macros clash with its names.
#include <gtest/gtest.h>

#include "platform/x11/window_dc.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "tests/support/xvfb_server.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct Server {
    testx::XvfbServer xvfb;
    Display* display = nullptr;
    Window window = 0;

    Server(const std::string& screen, const std::vector<std::string>& extra = {})
        : xvfb(screen, extra) {
        if (!xvfb.Ok()) return;
        X11InstallErrorHandlers();
        display = XOpenDisplay(xvfb.Display().c_str());
        if (display == nullptr) return;
        const int screenNumber = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screenNumber), 0, 0, kWidth,
                                     kHeight, 0, BlackPixel(display, screenNumber),
                                     BlackPixel(display, screenNumber));
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~Server() {
        if (display != nullptr) XCloseDisplay(display);
    }

    // The colour the server shows at (x, y) of the window, as 0x00RRGGBB with
    // 8 bits per channel.
    uint32_t ColourAt(int x, int y) {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) return 0xFFFFFFFF;
        XColor colour = {};
        colour.pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        XWindowAttributes attributes;
        XGetWindowAttributes(display, window, &attributes);
        XQueryColor(display, attributes.colormap, &colour);
        return (static_cast<uint32_t>(colour.red >> 8) << 16) |
               (static_cast<uint32_t>(colour.green >> 8) << 8) | (colour.blue >> 8);
    }
};

// A bottom-up 32-bit frame: the lower half red, the upper half blue with a
// green column at x = 10, and white at the very bottom-left pixel.
std::vector<uint32_t> TestFrame() {
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (int row = 0; row < kHeight; ++row)
        for (int x = 0; x < kWidth; ++x)
            pixels[row * kWidth + x] =
                row < kHeight / 2 ? 0xFF0000 : (x == 10 ? 0x00FF00 : 0x0000FF);
    pixels[0] = 0xFFFFFF;
    return pixels;
}

BITMAPV4HEADER Header() {
    BITMAPV4HEADER header = {};
    header.bV4Size = sizeof header;
    header.bV4Width = kWidth;
    header.bV4Height = kHeight;
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    header.bV4V4Compression = BI_RGB;
    return header;
}

void Present(HDC dc, const std::vector<uint32_t>& pixels) {
    BITMAPV4HEADER header = Header();
    SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, pixels.data(),
                      reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
}

int Distance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16}) {
        const int d =
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

// Checks the test frame on screen: bottom-up rows appear top-down.
void ExpectFrameShown(Server& s, int tolerance) {
    EXPECT_LE(Distance(s.ColourAt(5, kHeight - 5), 0xFF0000), tolerance);  // lower half red
    EXPECT_LE(Distance(s.ColourAt(5, 5), 0x0000FF), tolerance);            // upper half blue
    EXPECT_LE(Distance(s.ColourAt(10, 5), 0x00FF00), tolerance);           // the green column
    EXPECT_LE(Distance(s.ColourAt(0, kHeight - 1), 0xFFFFFF), tolerance);  // row 0 at the bottom
}

struct VisualCase {
    const char* name;
    const char* screen;
    std::vector<std::string> extra;
    int tolerance;
};

class WindowDcOnVisual : public ::testing::TestWithParam<VisualCase> {};

TEST_P(WindowDcOnVisual, PresentsTheFrameWithTheVisualsColours) {
    const VisualCase& c = GetParam();
    Server s(c.screen, c.extra);
    ASSERT_TRUE(s.xvfb.Ok());
    ASSERT_NE(s.display, nullptr);
    auto* dc = new X11WindowDC(s.window, kWidth, kHeight, s.xvfb.Display());
    Present(dc, TestFrame());
    // The DC talks to the server on its own connection: wait until the
    // requests are through by syncing that connection with a second transfer
    // of one pixel that is already there.
    Present(dc, TestFrame());
    delete dc;  // closes its connection, after which everything has been handled
    XSync(s.display, False);
    ExpectFrameShown(s, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Visuals, WindowDcOnVisual,
    ::testing::Values(VisualCase{"TrueColor24", "200x100x24", {}, 0},
                      VisualCase{
                          "TrueColor24WithoutShm", "200x100x24", {"-extension", "MIT-SHM"}, 0},
                      VisualCase{"TrueColor16", "200x100x16", {}, 8},
                      VisualCase{"TrueColor15", "200x100x15", {}, 8},
                      VisualCase{"PseudoColor8", "200x100x8", {}, 0},
                      VisualCase{"StaticColor8", "200x100x8", {"-cc", "2"}, 40},
                      VisualCase{"StaticGray8", "200x100x8", {"-cc", "0"}, 255}),
    [](const ::testing::TestParamInfo<VisualCase>& info) { return std::string(info.param.name); });

TEST(WindowDc, GreyVisualShowsBrightnessInOrder) {
    Server s("200x100x8", {"-cc", "0"});
    ASSERT_NE(s.display, nullptr);
    auto* dc = new X11WindowDC(s.window, kWidth, kHeight, s.xvfb.Display());
    Present(dc, TestFrame());
    delete dc;
    XSync(s.display, False);
    auto grey = [&](int x, int y) { return s.ColourAt(x, y) & 0xFF; };
    EXPECT_EQ(grey(0, kHeight - 1), 255u);                       // white
    EXPECT_GT(grey(10, 5), grey(5, kHeight - 5));                // green brighter than red
    EXPECT_GT(grey(5, kHeight - 5), grey(5, 5));                 // red brighter than blue
    EXPECT_EQ(s.ColourAt(5, 5) >> 16, s.ColourAt(5, 5) & 0xFF);  // and grey it is
}

TEST(WindowDc, UsesSharedMemoryWhereTheServerOffersIt) {
    for (bool withShm : {true, false}) {
        std::vector<std::string> extra;
        if (!withShm) extra = {"-extension", "MIT-SHM"};
        Server s("200x100x24", extra);
        ASSERT_NE(s.display, nullptr);
        X11WindowDC dc(s.window, kWidth, kHeight, s.xvfb.Display());
        Present(&dc, TestFrame());
        EXPECT_EQ(dc.UsesSharedMemory(), withShm);
    }
}

TEST(WindowDc, OverlappingPresentsShowTheLatestPixels) {
    Server s("200x100x24");
    ASSERT_NE(s.display, nullptr);
    auto* dc = new X11WindowDC(s.window, kWidth, kHeight, s.xvfb.Display());
    std::vector<uint32_t> frame(kWidth * kHeight, 0x112233);
    BITMAPV4HEADER header = Header();
    for (int i = 0; i < 50; ++i) {
        std::fill(frame.begin(), frame.end(), 0x010101u * static_cast<uint32_t>(i));
        SetDIBitsToDevice(dc, 8, 8, 16, 16, 8, 8, 0, kHeight, frame.data(),
                          reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
    }
    delete dc;
    XSync(s.display, False);
    EXPECT_EQ(s.ColourAt(10, 10), 0x010101u * 49);
    EXPECT_EQ(s.ColourAt(30, 30), 0u);  // outside the rectangle: the black background
}

// A thread that calls GdiFlush after its presents gets them to the server without the
// DC's flusher; presents from a thread that never does still get there through it.
TEST(WindowDc, AThreadThatCallsGdiFlushSendsItsOwnPresents) {
    Server s("200x100x24");
    ASSERT_NE(s.display, nullptr);
    X11WindowDC dc(s.window, kWidth, kHeight, s.xvfb.Display());
    std::vector<uint32_t> frame(kWidth * kHeight, 0x204060);
    Present(&dc, frame);
    ASSERT_TRUE(testx::WaitUntil([&] { return dc.FlusherFlushes() > 0; }));
    EXPECT_TRUE(testx::WaitUntil([&] { return s.ColourAt(20, 20) == 0x204060u; }));

    GdiFlush();  // this thread flushes from now on
    const int flushes = dc.FlusherFlushes();
    for (uint32_t i = 1; i <= 20; ++i) {
        std::fill(frame.begin(), frame.end(), 0x010203u * i);
        Present(&dc, frame);
        GdiFlush();
    }
    EXPECT_TRUE(testx::WaitUntil([&] { return s.ColourAt(20, 20) == 0x010203u * 20; }));
    EXPECT_EQ(dc.FlusherFlushes(), flushes);

    // Another thread's present goes through the flusher again.
    std::fill(frame.begin(), frame.end(), 0x0A0B0Cu);
    std::thread([&] { Present(&dc, frame); }).join();
    EXPECT_TRUE(testx::WaitUntil([&] { return s.ColourAt(20, 20) == 0x0A0B0Cu; }));
    EXPECT_TRUE(testx::WaitUntil([&] { return dc.FlusherFlushes() > flushes; }));
}

TEST(WindowDc, PresentingToAWindowThatIsGoneIsHarmless) {
    Server s("200x100x24");
    ASSERT_NE(s.display, nullptr);
    auto* dc = new X11WindowDC(s.window, kWidth, kHeight, s.xvfb.Display());
    Present(dc, TestFrame());
    XDestroyWindow(s.display, s.window);
    XSync(s.display, False);
    for (int i = 0; i < 5; ++i)
        Present(dc, TestFrame());  // errors, quietly dropped
    delete dc;
    SUCCEED();
}

TEST(WindowDc, AnArgbWindowGetsOpaquePixels) {
    Server s("200x100x24");
    ASSERT_NE(s.display, nullptr);
    XVisualInfo info = {};
    if (!XMatchVisualInfo(s.display, DefaultScreen(s.display), 32, TrueColor, &info))
        GTEST_SKIP() << "the server has no depth-32 visual";
    // A child of depth 32, as a preview inside a compositor's ARGB window is.
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(s.display, s.window, info.visual, AllocNone);
    const Window argb =
        XCreateWindow(s.display, s.window, 0, 0, kWidth, kHeight, 0, 32, InputOutput, info.visual,
                      CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(s.display, argb);
    XSync(s.display, False);
    auto* dc = new X11WindowDC(argb, kWidth, kHeight, s.xvfb.Display());
    Present(dc, TestFrame());
    EXPECT_EQ(dc->Format().alphaMask, 0xFF000000u);
    delete dc;
    XImage* image = XGetImage(s.display, argb, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 5, kHeight - 5), 0xFFFF0000u);  // opaque red
    EXPECT_EQ(XGetPixel(image, 10, 5), 0xFF00FF00u);           // opaque green
    EXPECT_EQ(XGetPixel(image, 0, kHeight - 1), 0xFFFFFFFFu);  // opaque white
    XDestroyImage(image);
}

TEST(WindowDc, TransfersAreClippedToATinyWindow) {
    // Every visual kind: each converts rows its own way.
    for (const char* screen : {"200x100x24", "200x100x16", "200x100x8"}) {
        Server s(screen);
        ASSERT_NE(s.display, nullptr);
        XResizeWindow(s.display, s.window, 1, 1);
        XSync(s.display, False);
        auto* dc = new X11WindowDC(s.window, 1, 1, s.xvfb.Display());
        const std::vector<uint32_t> frame = TestFrame();
        BITMAPV4HEADER header = Header();
        auto* info = reinterpret_cast<const BITMAPINFO*>(&header);
        // A frame far larger than the device, at offsets on every side, and
        // odd widths that leave tails for the row kernels.
        for (int x : {-70, -5, 0, 1, 3})
            for (int w : {1, 7, 33, kWidth})
                SetDIBitsToDevice(dc, x, x, DWORD(w), kHeight, 0, 0, 0, kHeight, frame.data(), info,
                                  DIB_RGB_COLORS);
        Present(dc, frame);
        delete dc;
        XSync(s.display, False);
        // The one pixel is the top-left one of the frame: upper half, blue.
        EXPECT_LE(Distance(s.ColourAt(0, 0), 0x0000FF), 40) << screen;
    }
}

TEST(WindowDc, AWindowOnNoDisplayPresentsNothing) {
    X11WindowDC dc(12345, kWidth, kHeight, ":999999");
    Present(&dc, TestFrame());
    EXPECT_FALSE(dc.UsesSharedMemory());
}

}  // namespace
