// The configuration dialog's About box in this process, on an Xvfb of its
// own: closing it after the trial's intro starts a formation, and only then.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/ball_engine.h"
#include "platform/x11/window.h"
#include "tests/support/x11_display.h"
#include "ui/settings_dlg.h"

namespace {

// Ends the About box as a click on its OK would: the top-level window of
// that title, found on the server.
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD) {
    Display* display = testx::SharedDisplay();
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr &&
            std::string(name) == "About quorix")
            EndDialog(X11Handle(children[i]), IDOK);
        if (name != nullptr) XFree(name);
    }
    if (children != nullptr) XFree(children);
}

int32_t PhaseAfterAbout(int32_t introState, int32_t formationPhase, bool withLines) {
    static const char* const kLines[] = {"a message", nullptr};
    CSettingsDlg dialog;
    auto* engine = new BallEngine;
    engine->introState = introState;
    engine->formationPhase = formationPhase;
    dialog.m_engine = engine;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutBox);
    dialog.ShowAbout(withLines ? kLines : nullptr);
    KillTimer(nullptr, timer);
    const int32_t phase = engine->formationPhase;
    dialog.m_engine = nullptr;
    delete engine;
    return phase;
}

TEST(SettingsAbout, ClosingTheBoxAfterTheIntroStartsAFormationUnlessOneRuns) {
    ASSERT_NE(testx::SharedDisplay(), nullptr) << "Xvfb could not be started";
    EXPECT_EQ(PhaseAfterAbout(0, 0, false), 1);
    EXPECT_EQ(PhaseAfterAbout(5, 0, false), 0) << "the intro still runs";
    EXPECT_EQ(PhaseAfterAbout(kIntroWaitingForPaint, 0, false), 0) << "no paint yet";
    EXPECT_EQ(PhaseAfterAbout(0, 7, false), 7) << "a formation runs";
    EXPECT_EQ(PhaseAfterAbout(0, 0, true), 0) << "a box with message lines starts none";
}

}  // namespace
