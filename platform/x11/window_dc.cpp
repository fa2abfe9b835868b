#include "platform/x11/window_dc.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

X11WindowDC::X11WindowDC(Window xid, int width, int height, std::string displayName)
    : m_xid(xid), m_bounds{0, 0, width, height}, m_displayName(std::move(displayName)) {
    JoinGdiFlush(this);
}

X11WindowDC::~X11WindowDC() {
    LeaveGdiFlush(this);
    if (m_flusher.joinable()) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_stopping = true;
        }
        m_flushWake.notify_one();
        m_flusher.join();
    }
    if (m_display == nullptr) return;
    if (m_image != nullptr) {
        if (m_useShm) {
            XShmDetach(m_display, &m_shm);
            XSync(m_display, False);
            XDestroyImage(m_image);
            shmdt(m_shm.shmaddr);
        } else {
            XDestroyImage(m_image);
        }
    }
    if (m_gc != nullptr) XFreeGC(m_display, m_gc);
    XCloseDisplay(m_display);
}

RECT X11WindowDC::DeviceBounds() const {
    return m_bounds;
}

bool X11WindowDC::Connect() {
    m_connected = true;
    X11InstallErrorHandlers();
    m_display = XOpenDisplay(m_displayName.c_str());
    if (m_display == nullptr) return false;
    XWindowAttributes attributes;
    {
        X11ErrorTrap trap(m_display);
        const Status ok = XGetWindowAttributes(m_display, m_xid, &attributes);
        if (trap.Sync() != 0 || ok == 0) return false;
    }
    m_gc = XCreateGC(m_display, m_xid, 0, nullptr);
    if (m_gc == nullptr) return false;
    m_visual = attributes.visual;
    m_depth = attributes.depth;
    if (!CreateImage()) return false;
    BuildFormat(attributes);
    m_rows = RowConverter(m_format);
    m_flusher = std::thread([this] { Flusher(); });
    return true;
}

void X11WindowDC::FlushBatch() {
    std::lock_guard<std::mutex> guard(m_lock);
    const std::thread::id me = std::this_thread::get_id();
    if (m_display == nullptr || m_lastPutter != me) return;
    m_selfFlusher = me;
    if (m_unflushed) XFlush(m_display);
    m_unflushed = false;
}

void X11WindowDC::FlushLater() {
    m_lastPutter = std::this_thread::get_id();
    if (m_lastPutter == m_selfFlusher) {
        m_unflushed = true;
        return;
    }
    m_lastPut = std::chrono::steady_clock::now();
    if (!m_flushPending) {
        m_flushPending = true;
        m_flushWake.notify_one();
    }
}

void X11WindowDC::Flusher() {
    constexpr auto kQuiet = std::chrono::milliseconds(2);
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_flushWake.wait(lock, [this] { return m_flushPending || m_stopping; });
        if (m_stopping) break;
        // Wait until the puts have paused for a moment.
        while (!m_stopping && std::chrono::steady_clock::now() < m_lastPut + kQuiet)
            m_flushWake.wait_until(lock, m_lastPut + kQuiet);
        XFlush(m_display);
        m_flushPending = false;
        ++m_flusherFlushes;
    }
    if (m_flushPending) XFlush(m_display);
}

bool X11WindowDC::CreateImage() {
    const unsigned width = static_cast<unsigned>(std::max<LONG>(m_bounds.right, 1));
    const unsigned height = static_cast<unsigned>(std::max<LONG>(m_bounds.bottom, 1));
    if (XShmQueryExtension(m_display)) {
        m_image = XShmCreateImage(m_display, m_visual, static_cast<unsigned>(m_depth), ZPixmap,
                                  nullptr, &m_shm, width, height);
        if (m_image != nullptr) {
            const size_t size = static_cast<size_t>(m_image->bytes_per_line) * height;
            m_shm.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
            if (m_shm.shmid >= 0) {
                m_shm.shmaddr = static_cast<char*>(shmat(m_shm.shmid, nullptr, 0));
                if (m_shm.shmaddr != reinterpret_cast<char*>(-1)) {
                    m_image->data = m_shm.shmaddr;
                    m_shm.readOnly = False;
                    X11ErrorTrap trap(m_display);
                    const Bool attached = XShmAttach(m_display, &m_shm);
                    const int error = trap.Sync();
                    // Marked for removal at once: the segment goes away with
                    // the process however it ends.
                    shmctl(m_shm.shmid, IPC_RMID, nullptr);
                    if (attached && error == 0) {
                        m_useShm = true;
                        return true;
                    }
                    shmdt(m_shm.shmaddr);
                } else {
                    shmctl(m_shm.shmid, IPC_RMID, nullptr);
                }
            }
            m_image->data = nullptr;
            XDestroyImage(m_image);
            m_image = nullptr;
        }
    }
    // Plain images: the pixels travel in the request.
    m_image = XCreateImage(m_display, m_visual, static_cast<unsigned>(m_depth), ZPixmap, 0, nullptr,
                           width, height, 32, 0);
    if (m_image == nullptr) return false;
    m_image->data =
        static_cast<char*>(calloc(static_cast<size_t>(m_image->bytes_per_line) * height, 1));
    if (m_image->data == nullptr) {
        XDestroyImage(m_image);
        m_image = nullptr;
        return false;
    }
    return true;
}

void X11WindowDC::BuildFormat(const XWindowAttributes& attributes) {
    Visual* visual = attributes.visual;
    m_format.bitsPerPixel = m_image->bits_per_pixel;
    m_format.msbFirst = m_image->byte_order == MSBFirst;
    const int cls = visual->c_class;
    if (cls == TrueColor || cls == DirectColor) {
        m_format.kind = PixelFormat::Masks;
        m_format.redMask = static_cast<uint32_t>(visual->red_mask);
        m_format.greenMask = static_cast<uint32_t>(visual->green_mask);
        m_format.blueMask = static_cast<uint32_t>(visual->blue_mask);
        // The bits of the depth that no colour uses are alpha (an ARGB visual
        // of depth 32): opaque, or a compositor would show the window through.
        const uint32_t depthBits = m_depth >= 32 ? ~0u : (1u << m_depth) - 1u;
        m_format.alphaMask =
            depthBits & ~(m_format.redMask | m_format.greenMask | m_format.blueMask);
        return;
    }
    const Colormap colormap = attributes.colormap;
    auto allocate = [&](uint32_t r, uint32_t g, uint32_t b, unsigned long* pixel) {
        XColor color = {};
        color.red = static_cast<unsigned short>(r * 257);
        color.green = static_cast<unsigned short>(g * 257);
        color.blue = static_cast<unsigned short>(b * 257);
        color.flags = DoRed | DoGreen | DoBlue;
        if (!XAllocColor(m_display, colormap, &color)) return false;
        *pixel = color.pixel;
        return true;
    };
    if (cls == PseudoColor || cls == StaticColor) {
        // The largest colour cube the colour map can give, 6 x 6 x 6 at most.
        const int maxLevels = std::min(
            6, std::max(2, static_cast<int>(std::cbrt(static_cast<double>(visual->map_entries)))));
        for (int n = maxLevels; n >= 2; --n) {
            std::vector<unsigned long> pixels;
            bool ok = true;
            for (int r = 0; r < n && ok; ++r)
                for (int g = 0; g < n && ok; ++g)
                    for (int b = 0; b < n && ok; ++b) {
                        unsigned long pixel = 0;
                        ok = allocate(static_cast<uint32_t>(r * 255 / (n - 1)),
                                      static_cast<uint32_t>(g * 255 / (n - 1)),
                                      static_cast<uint32_t>(b * 255 / (n - 1)), &pixel);
                        if (ok) pixels.push_back(pixel);
                    }
            if (ok) {
                m_format.kind = PixelFormat::Cube;
                m_format.cubeLevels = n;
                m_format.cubePixels.assign(pixels.begin(), pixels.end());
                return;
            }
            if (!pixels.empty())
                XFreeColors(m_display, colormap, pixels.data(), static_cast<int>(pixels.size()), 0);
        }
    }
    // Grey visuals, and colour maps too full for a cube: a grey ramp.
    const int maxLevels = std::min(256, std::max(2, visual->map_entries));
    std::vector<unsigned long> ramp;
    int levels = maxLevels;
    for (; levels >= 2; levels = levels > 16 ? levels / 2 : levels - 1) {
        ramp.clear();
        bool ok = true;
        for (int i = 0; i < levels && ok; ++i) {
            const uint32_t v = static_cast<uint32_t>(i * 255 / (levels - 1));
            unsigned long pixel = 0;
            ok = allocate(v, v, v, &pixel);
            if (ok) ramp.push_back(pixel);
        }
        if (ok) break;
        if (!ramp.empty())
            XFreeColors(m_display, colormap, ramp.data(), static_cast<int>(ramp.size()), 0);
        ramp.clear();
    }
    m_format.kind = PixelFormat::Gray;
    m_format.grayPixels.assign(256, 0);
    if (ramp.empty()) {
        const int screen = DefaultScreen(m_display);
        ramp = {BlackPixel(m_display, screen), WhitePixel(m_display, screen)};
    }
    const int n = static_cast<int>(ramp.size());
    for (uint32_t y = 0; y < 256; ++y)
        m_format.grayPixels[y] = static_cast<uint32_t>(ramp[CubeLevel(y, n)]);
}

bool X11WindowDC::PendingOverlap(const RECT& rect) const {
    for (const PendingPut& put : m_pending)
        if (Overlap(put.rect, rect)) return true;
    return false;
}

void X11WindowDC::TakeCompletions(int mode) {
    // Every event the server sends on this connection is a completion of a
    // put: it has handled every request up to the event's serial number.
    unsigned long done = 0;
    for (int queued = XEventsQueued(m_display, mode); queued > 0; --queued) {
        XEvent event;
        XNextEvent(m_display, &event);
        done = std::max(done, event.xany.serial);
    }
    while (!m_pending.empty() && m_pending.front().serial <= done)
        m_pending.pop_front();
}

void X11WindowDC::WaitIfOverlapping(const RECT& rect) {
    // The server reads a shared image when it handles the put; pixels that a
    // put in flight may still be reading are written only once it is done.
    // The completion events usually arrived long ago (last frame's puts);
    // only if one is missing (a put the server has not handled yet, or one
    // that failed and sends none) does the round trip wait.
    if (!PendingOverlap(rect)) return;
    TakeCompletions(QueuedAlready);
    if (!PendingOverlap(rect)) return;
    TakeCompletions(QueuedAfterReading);
    if (!PendingOverlap(rect)) return;
    XSync(m_display, False);
    TakeCompletions(QueuedAlready);
    m_pending.clear();
}

void X11WindowDC::TransferDib(const DibTransfer& t) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_connected && !Connect()) m_failed = true;
    if (m_failed) return;
    const LONG left = std::max<LONG>(t.dest.left, 0);
    const LONG right = std::min<LONG>(t.dest.right, m_image->width);
    const LONG top = std::max<LONG>(t.dest.top, 0);
    const LONG bottom = std::min<LONG>(t.dest.bottom, m_image->height);
    if (left >= right || top >= bottom) return;
    const RECT rect = {left, top, right, bottom};
    if (m_useShm) WaitIfOverlapping(rect);
    const int count = static_cast<int>(right - left);
    const bool rows = m_rows.WholeBytes();
    const int bytesPerPixel = m_format.bitsPerPixel / 8;
    for (LONG y = top; y < bottom; ++y) {
        const uint32_t* src = t.SourceRow(y) + (left - t.dest.left);
        if (rows) {
            uint8_t* dst = reinterpret_cast<uint8_t*>(m_image->data) +
                           static_cast<size_t>(y) * static_cast<size_t>(m_image->bytes_per_line) +
                           static_cast<size_t>(left) * static_cast<size_t>(bytesPerPixel);
            m_rows.Convert(src, count, dst);
        } else {
            for (int x = 0; x < count; ++x)
                XPutPixel(m_image, static_cast<int>(left) + x, static_cast<int>(y),
                          m_rows.Pixel(src[x]));
        }
    }
    const unsigned w = static_cast<unsigned>(right - left);
    const unsigned h = static_cast<unsigned>(bottom - top);
    if (m_useShm) {
        m_pending.push_back({rect, NextRequest(m_display)});
        XShmPutImage(m_display, m_xid, m_gc, m_image, static_cast<int>(left), static_cast<int>(top),
                     static_cast<int>(left), static_cast<int>(top), w, h, True);
        if (m_pending.size() > 256) {
            TakeCompletions(QueuedAfterReading);
            if (m_pending.size() > 256) {
                XSync(m_display, False);
                TakeCompletions(QueuedAlready);
                m_pending.clear();
            }
        }
    } else {
        XPutImage(m_display, m_xid, m_gc, m_image, static_cast<int>(left), static_cast<int>(top),
                  static_cast<int>(left), static_cast<int>(top), w, h);
    }
    FlushLater();
}
