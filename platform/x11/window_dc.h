// The device context of a window. Frames are presented from the animation
// worker thread while the user-interface thread runs the message loop, so
// each window DC talks to the server over its own display connection (opened
// at the first transfer) with its own GC and image; XShm is used where the
// server offers it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/device_context.h"
#include "platform/x11/pixel_rows.h"
#include "platform/x11/xlib.h"

// After Xlib, which it needs.
#include <X11/extensions/XShm.h>

class X11WindowDC : public HDC__ {
  public:
    X11WindowDC(Window xid, int width, int height, std::string displayName);
    ~X11WindowDC() override;

    RECT DeviceBounds() const override;
    void TransferDib(const DibTransfer& transfer) override;
    // A thread that calls GdiFlush after its transfers flushes them itself from then on;
    // the flusher thread only sends on the transfers of other threads.
    void FlushBatch() override;

    // The window drawn on (GDI drawing of the dialogs and controls).
    Window WindowId() const { return m_xid; }

    // What the DC found at its first transfer (for the tests).
    bool UsesSharedMemory() const { return m_useShm; }
    int FlusherFlushes() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_flusherFlushes;
    }
    const PixelFormat& Format() const { return m_format; }

  private:
    bool Connect();
    bool CreateImage();
    void BuildFormat(const XWindowAttributes& attributes);
    bool PendingOverlap(const RECT& rect) const;
    void TakeCompletions(int mode);
    void WaitIfOverlapping(const RECT& rect);
    void FlushLater();
    void Flusher();

    std::mutex m_lock;
    const Window m_xid;
    const RECT m_bounds;
    const std::string m_displayName;
    Display* m_display = nullptr;
    GC m_gc = nullptr;
    XImage* m_image = nullptr;
    XShmSegmentInfo m_shm = {};
    Visual* m_visual = nullptr;
    int m_depth = 0;
    bool m_useShm = false;
    bool m_connected = false;
    bool m_failed = false;
    PixelFormat m_format;
    RowConverter m_rows{PixelFormat{}};  // made from m_format when the DC connects
    // Shared-memory puts the server may still be reading, oldest first, with
    // the serial number of their request.
    struct PendingPut {
        RECT rect;
        unsigned long serial;
    };
    std::deque<PendingPut> m_pending;
    // A frame presents its rectangles back to back; they go to the server
    // together, a moment after the last one, instead of one write each.
    std::condition_variable m_flushWake;
    std::thread m_flusher;
    bool m_flushPending = false;
    bool m_stopping = false;
    int m_flusherFlushes = 0;
    std::thread::id m_lastPutter;   // the thread of the latest transfer
    std::thread::id m_selfFlusher;  // a thread that calls GdiFlush, none at first
    bool m_unflushed = false;       // the self-flusher's transfers wait for its GdiFlush
    std::chrono::steady_clock::time_point m_lastPut;
};
