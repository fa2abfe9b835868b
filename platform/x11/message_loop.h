// The per-thread message queues and the message loop: plain POSIX poll() code,
// with extension points through which the window system delivers its input.
//
// Each thread gets a queue the first time it calls GetMessageA, PeekMessageA,
// PostQuitMessage, SetTimer or EnsureThreadQueue; the queue ends with the thread.
// A thread without a queue cannot be posted to. GetMessageA returns, in this
// order: a posted message (oldest first), WM_QUIT once PostQuitMessage has been
// called and no posted message is left, then WM_TIMER for a due timer (see
// timers.h). While nothing is there it waits with poll() on the queue's wake
// pipe, on the fd of every message source and until the earliest timer.
#pragma once

#include "platform/win32.h"

// A source of input for the message loop, e.g. the X display connection.
// Contract:
// - fd(ctx) returns a file descriptor that becomes readable when input arrives,
//   or -1 if there is none now. It is asked anew before every wait.
// - pump(ctx) moves the input that is pending into posted messages of the
//   threads it belongs to (with PostWindowMessage or PostThreadMessageA) and
//   flushes what it has to send. It is called before every look into the queue
//   and after every wait, also when its fd is not readable (input may wait in a
//   buffer of the source itself). It returns true if it posted anything.
// - pump() may run on any thread that runs a message loop, and on several at
//   once: it must be thread safe. It must not call GetMessageA or PeekMessageA.
// - polled(ctx, readable), if set, is told after each wait of the calling thread
//   whether the wait found the source's fd readable (true too when the fd has
//   failed or hung up, or the wait failed), so that its pump can skip reading an
//   fd it knows to be empty.
// Sources are per process and are never removed; add them before the loops run.
struct MessageSource {
    int (*fd)(void* ctx);
    bool (*pump)(void* ctx);
    void* ctx;
    void (*polled)(void* ctx, bool readable) = nullptr;
};
void AddMessageSource(const MessageSource& source);

// DispatchMessageA hands every message with a window (msg.hwnd not null) to the
// dispatcher, except WM_TIMER messages of timers with a TIMERPROC, which call
// the procedure. Without a dispatcher such messages return 0.
// Each Set... call returns the hook it replaces.
using WindowDispatcher = LRESULT (*)(const MSG* msg);
WindowDispatcher SetWindowDispatcher(WindowDispatcher dispatch);

// TranslateMessage hands every message to the translator (keyboard input into
// character messages); without one it returns FALSE.
using MessageTranslator = BOOL (*)(const MSG* msg);
MessageTranslator SetMessageTranslator(MessageTranslator translate);

// The thread that owns a window, 0 if the window is unknown. Used to post to a
// window's thread and to check that a window timer is set by the window's own
// thread.
using WindowThreadResolver = DWORD (*)(HWND hwnd);
WindowThreadResolver SetWindowThreadResolver(WindowThreadResolver ownerThread);

// Posts (hwnd, message, wParam, lParam) to the thread that owns hwnd (to the
// calling thread if hwnd is null), safely from any thread. FALSE if the window
// is unknown, its thread has no queue or the queue is full (10000 messages).
BOOL PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Drops the posted messages and the timers of a window that is being destroyed.
void DiscardWindowMessages(HWND hwnd);

// Creates the calling thread's queue if it has none yet.
void EnsureThreadQueue();
