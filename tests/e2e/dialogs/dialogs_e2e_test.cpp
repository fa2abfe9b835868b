// The configuration dialog, the windowed trial and the About box of the real
// program, under an Xvfb of their own: driven with xdotool as a user would,
// read back from the screen (xwd), the window tree and the registry file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/dialogs/dialog_session.h"
#include "tools/common/png_write.h"

namespace {

using uie2e::Box;
using uie2e::Screen;
using uie2e::Shot;

const char* const kDialogTitle = "quorix";
const char* const kAboutTitle = "About quorix";

std::string ScreenshotDir() {
    const char* dir = std::getenv("QUORIX_SCREENSHOT_DIR");
    return dir != nullptr && dir[0] != '\0' ? dir : QUORIX_SCREENSHOT_DEFAULT_DIR;
}

// Writes the box of the shot as a PNG (for the documentation and for looking).
void SavePicture(const Shot& shot, const Box& box, const std::string& name) {
    if (!shot.Ok() || box.width <= 0) return;
    mkdir(ScreenshotDir().c_str(), 0755);
    std::vector<uint8_t> rgba;
    for (int y = box.y; y < box.y + box.height && y < shot.height; ++y)
        for (int x = box.x; x < box.x + box.width && x < shot.width; ++x) {
            const uint32_t p = shot.At(x, y);
            rgba.insert(rgba.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255});
        }
    std::string error;
    WritePngRgba(ScreenshotDir() + "/" + name, box.width, box.height, rgba.data(), &error);
}

class DialogsTest : public ::testing::Test {
  protected:
    explicit DialogsTest(int depth = 24) : m_screen(depth) {}

    void SetUp() override {
        ASSERT_TRUE(m_screen.Ok()) << "Xvfb could not be started";
        char dir[] = "/tmp/quorix-ui-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        m_registry = m_dir + "/registry.reg";
        // Fontconfig keeps its caches until the process ends; a sanitizer build
        // of the program is told to leave them and checks everything else.
        m_suppressions = m_dir + "/lsan.supp";
        std::ofstream(m_suppressions) << "leak:libfontconfig.so\n";
    }
    void TearDown() override {
        m_program.Kill();
        std::remove(m_registry.c_str());
        std::remove(m_suppressions.c_str());
        std::remove((m_dir + "/screen.xwd").c_str());
        std::remove((m_dir + "/stderr.txt").c_str());
        rmdir(m_dir.c_str());
    }

    // Starts the built program, unless QUORIX_UI_E2E_PROGRAM names another
    // build of it, or the given program.
    void Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
               const char* builtProgram = QUORIX_PROGRAM) {
        const char* program = std::getenv("QUORIX_UI_E2E_PROGRAM");
        if (std::string(builtProgram) != QUORIX_PROGRAM || program == nullptr || program[0] == '\0')
            program = builtProgram;
        std::vector<std::string> argv = {program};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> fullEnv = {
            "DISPLAY=" + m_screen.Name(), "QUORIX_REGISTRY=" + m_registry,
            "LSAN_OPTIONS=print_suppressions=0:suppressions=" + m_suppressions};
        fullEnv.insert(fullEnv.end(), env.begin(), env.end());
        m_program.Start(argv, fullEnv, "", m_dir + "/stderr.txt");
    }
    // Waits for the program to end; its exit code, or -1 when it keeps running.
    int Ended(int timeoutMs = 10000) {
        int code = -1;
        return m_program.Wait(timeoutMs, &code) ? code : -1;
    }

    Window Dialog() {
        const Window w = m_screen.WaitForWindow(kDialogTitle);
        if (w != 0) uie2e::Pause(300);  // first paint
        return w;
    }
    Window Child(Window parent, const std::string& title) {
        for (Window c : m_screen.Children(parent))
            if (m_screen.Title(c) == title) return c;
        return 0;
    }
    void Click(Window w) {
        const Box b = m_screen.Geometry(w);
        m_screen.ClickAt(b.x + b.width / 2, b.y + b.height / 2);
    }
    void PressKeyIn(Window w, const std::string& key) {
        m_screen.Focus(w);
        m_screen.Key(key);
    }
    // The trackbars: the dialog's untitled children wider than tall, top first.
    std::vector<Window> Trackbars(Window dialog) {
        std::vector<Window> bars;
        for (Window c : m_screen.ViewableChildren(dialog)) {
            const Box b = m_screen.Geometry(c);
            if (m_screen.Title(c).empty() && b.width > 3 * b.height) bars.push_back(c);
        }
        std::sort(bars.begin(), bars.end(), [&](Window a, Window b) {
            return m_screen.Geometry(a).y < m_screen.Geometry(b).y;
        });
        return bars;
    }
    std::map<std::string, uint32_t> Stored() { return uie2e::ReadStoredValues(m_registry); }
    Shot TakeShot() { return m_screen.TakeShot(m_dir + "/screen.xwd"); }

    // The About box's picture button: its 84 x 68 child.
    Window PictureButton(Window about) {
        for (Window c : m_screen.Children(about)) {
            const Box b = m_screen.Geometry(c);
            if (b.width == 84 && b.height == 68) return c;
        }
        return 0;
    }

    Screen m_screen;
    testx::ChildProcess m_program;
    std::string m_dir, m_registry, m_suppressions;
};

// Dark pixels in the square at a radio button's left (its circle): the
// checked one has its dot on top of the ring all of them have.
int RadioDarkPixels(const Shot& shot, const Box& b) {
    int dark = 0;
    for (int y = b.y; y < b.y + b.height; ++y)
        for (int x = b.x; x < b.x + b.height; ++x) {
            const uint32_t p = shot.At(x, y);
            dark += ((p >> 16) & 255) < 64 && ((p >> 8) & 255) < 64 && (p & 255) < 64 ? 1 : 0;
        }
    return dark;
}

TEST_F(DialogsTest, ConfigureWithNothingStoredShowsTheDefaultsAndOkStoresThem) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    const char* const radios[4] = {"&Random of:", "&Normal", "&Green", "&Squash"};
    Window radio[4];
    for (int i = 0; i < 4; ++i) {
        radio[i] = Child(dialog, radios[i]);
        ASSERT_NE(radio[i], 0u) << radios[i];
    }
    for (const char* title :
         {"OK", "Cancel", "No of balls", "Size of balls", "many", "more", "good", "best"})
        EXPECT_NE(Child(dialog, title), 0u) << title;
    EXPECT_EQ(Trackbars(dialog).size(), 2u);

    const Shot shot = TakeShot();
    ASSERT_TRUE(shot.Ok());
    SavePicture(shot, m_screen.Geometry(dialog), "dialog.png");
    // Only "&Random of:" carries the dot.
    int dark[4];
    for (int i = 0; i < 4; ++i)
        dark[i] = RadioDarkPixels(shot, m_screen.Geometry(radio[i]));
    for (int i = 1; i < 4; ++i)
        EXPECT_GT(dark[0], dark[i] + 4) << radios[i];

    // OK at once stores what the dialog showed: random, 52 and 38.
    PressKeyIn(dialog, "Return");
    EXPECT_EQ(Ended(), 0);
    const auto stored = Stored();
    EXPECT_EQ(stored, (std::map<std::string, uint32_t>{
                          {"Style", 0}, {"NumOfBalls", 52}, {"SizOfBalls", 38}}));
}

TEST_F(DialogsTest, StoredValuesOutOfRangeAreShownCorrectedAndOkStoresThemCorrected) {
    uie2e::WriteStoredSettings(m_registry, 7, 10, 99);
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    const Shot shot = TakeShot();
    EXPECT_GT(RadioDarkPixels(shot, m_screen.Geometry(Child(dialog, "&Random of:"))),
              RadioDarkPixels(shot, m_screen.Geometry(Child(dialog, "&Normal"))) + 4);
    Click(Child(dialog, "OK"));
    EXPECT_EQ(Ended(), 0);
    EXPECT_EQ(Stored(), (std::map<std::string, uint32_t>{
                            {"Style", 0}, {"NumOfBalls", 52}, {"SizOfBalls", 60}}));
}

TEST_F(DialogsTest, ChosenStyleAndTrackbarPositionsAreStoredOnOk) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    Click(Child(dialog, "&Squash"));
    const auto bars = Trackbars(dialog);
    ASSERT_EQ(bars.size(), 2u);
    Click(bars[0]);
    m_screen.Key("End");  // 100 balls
    Click(bars[1]);
    m_screen.Key("Home");   // size 30
    m_screen.Key("Right");  // one step up: 31
    uie2e::Pause(200);
    Click(Child(dialog, "OK"));
    EXPECT_EQ(Ended(), 0);
    EXPECT_EQ(Stored(), (std::map<std::string, uint32_t>{
                            {"Style", 3}, {"NumOfBalls", 100}, {"SizOfBalls", 31}}));
}

TEST_F(DialogsTest, CancelEscapeAndTheCloseBoxStoreNothing) {
    uie2e::WriteStoredSettings(m_registry, 2, 40, 50);
    const auto before = Stored();
    for (int way = 0; way < 3; ++way) {
        Start({"/c"});
        const Window dialog = Dialog();
        ASSERT_NE(dialog, 0u) << way;
        // Changes that would be stored on OK.
        Click(Child(dialog, "&Squash"));
        if (way == 0) Click(Child(dialog, "Cancel"));
        if (way == 1) PressKeyIn(dialog, "Escape");
        if (way == 2) m_screen.ClickCloseBox(dialog);
        EXPECT_EQ(Ended(), 0) << way;
        EXPECT_EQ(Stored(), before) << way;
    }
    std::remove(m_registry.c_str());
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    PressKeyIn(dialog, "Escape");
    EXPECT_EQ(Ended(), 0);
    EXPECT_TRUE(Stored().empty());
}

TEST_F(DialogsTest, F1OpensTheAboutBoxBuiltFromTheVersionResource) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    PressKeyIn(dialog, "F1");
    const Window about = m_screen.WaitForWindow(kAboutTitle);
    ASSERT_NE(about, 0u);
    uie2e::Pause(300);
    const Window version = Child(about, "quorix version 2.87 ");
    const Window company = Child(about, "Ostrevane 2026");
    ASSERT_NE(version, 0u);
    ASSERT_NE(company, 0u);
    EXPECT_TRUE(m_screen.Viewable(version) && m_screen.Viewable(company));
    // Version line above the company line, the picture button to their right.
    const Box v = m_screen.Geometry(version), c = m_screen.Geometry(company);
    EXPECT_LT(v.y, c.y);
    EXPECT_EQ(v.x, c.x);
    const Window button = PictureButton(about);
    ASSERT_NE(button, 0u);
    EXPECT_TRUE(m_screen.Viewable(button));
    EXPECT_GT(m_screen.Geometry(button).x, v.x + v.width);
    EXPECT_FALSE(m_screen.Viewable(Child(about, "OK"))) << "OK only on low-colour displays";

    const Shot shot = TakeShot();
    SavePicture(shot, m_screen.Geometry(about), "about.png");
    // The mark under the texts is black.
    const Box a = m_screen.Geometry(about);
    int black = 0;
    for (int y = c.y + c.height; y < a.y + a.height; ++y)
        for (int x = a.x; x < a.x + a.width; ++x)
            black += shot.At(x, y) == 0 ? 1 : 0;
    EXPECT_GT(black, 300);

    // F1 in the box ends it; the dialog stays.
    PressKeyIn(about, "F1");
    EXPECT_TRUE(m_screen.WaitGone(kAboutTitle));
    EXPECT_NE(m_screen.FindByName(kDialogTitle).size(), 0u);
    PressKeyIn(dialog, "Escape");
    EXPECT_EQ(Ended(), 0);
}

TEST_F(DialogsTest, SystemMenuAboutItemOpensTheAboutBox) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    PressKeyIn(dialog, "alt+space");
    uie2e::Pause(300);
    // The appended item is the last: Up from the top wraps round to it.
    m_screen.Key("Up");
    m_screen.Key("Return");
    const Window about = m_screen.WaitForWindow(kAboutTitle);
    ASSERT_NE(about, 0u);
    m_screen.ClickCloseBox(about);
    EXPECT_TRUE(m_screen.WaitGone(kAboutTitle));
    PressKeyIn(dialog, "Escape");
    EXPECT_EQ(Ended(), 0);
}

TEST_F(DialogsTest, PictureButtonClosesTheBoxOnlyOnACompletedClick) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    PressKeyIn(dialog, "F1");
    const Window about = m_screen.WaitForWindow(kAboutTitle);
    ASSERT_NE(about, 0u);
    uie2e::Pause(300);
    const Window button = PictureButton(about);
    ASSERT_NE(button, 0u);
    const Box b = m_screen.Geometry(button);
    const Box a = m_screen.Geometry(about);
    const int faceX = b.x + 36, faceY = b.y + 28;
    const Shot resting = TakeShot();

    // Press, leave, release: the box stays.
    m_screen.MoveTo(faceX, faceY);
    m_screen.Xdo({"mousedown", "1"});
    uie2e::Pause(200);
    const Shot pressed = TakeShot();
    m_screen.MoveTo(a.x + 4, a.y + 4);
    uie2e::Pause(100);
    m_screen.Xdo({"mouseup", "1"});
    uie2e::Pause(400);
    EXPECT_NE(m_screen.FindByName(kAboutTitle).size(), 0u);
    // Pressed, the face sits 4 pixels further right and down.
    EXPECT_EQ(pressed.At(faceX + 4, faceY + 4), resting.At(faceX, faceY));
    EXPECT_NE(pressed.At(b.x + 2, b.y + 2), resting.At(b.x + 2, b.y + 2));

    // Press, leave, come back, release: a completed click.
    m_screen.MoveTo(faceX, faceY);
    m_screen.Xdo({"mousedown", "1"});
    m_screen.MoveTo(a.x + 4, a.y + 4);
    m_screen.MoveTo(faceX + 2, faceY + 2);
    m_screen.Xdo({"mouseup", "1"});
    EXPECT_TRUE(m_screen.WaitGone(kAboutTitle));
    PressKeyIn(dialog, "Escape");
    EXPECT_EQ(Ended(), 0);
}

TEST_F(DialogsTest, TrialRunsTheGreenIntroInA512SquareWithoutControls) {
    Start({"/w", "2", "30"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    const Box d = m_screen.Geometry(dialog);
    EXPECT_EQ(d.width, 512);
    EXPECT_EQ(d.height, 512);
    EXPECT_TRUE(m_screen.ViewableChildren(dialog).empty());
    uie2e::Pause(2500);
    const Shot shot = TakeShot();
    ASSERT_TRUE(shot.Ok());
    SavePicture(shot, d, "trial.png");
    // A dark violet ground with the glowing ball's green trail on it.
    int violet = 0, green = 0;
    for (int y = d.y; y < d.y + d.height; ++y)
        for (int x = d.x; x < d.x + d.width; ++x) {
            const uint32_t p = shot.At(x, y);
            const int r = int(p >> 16) & 255, g = int(p >> 8) & 255, b = int(p) & 255;
            if (b > g && r > g && b < 120) ++violet;
            if (g > r + 30 && g > 80) ++green;
        }
    EXPECT_GT(violet, 512 * 512 / 2);
    EXPECT_GT(green, 200);
    m_screen.ClickCloseBox(dialog);
    EXPECT_EQ(Ended(), 0);
    EXPECT_TRUE(Stored().empty()) << "the trial never stores settings";
}

TEST_F(DialogsTest, TrialWithoutFrameMemoryShowsTheErrorInTheAboutBox) {
    Start({"/w"}, {}, QUORIX_NO_MEMORY_PROGRAM);
    const Window about = m_screen.WaitForWindow(kAboutTitle);
    ASSERT_NE(about, 0u);
    uie2e::Pause(300);
    const Window error = Child(about, "-->>>         Error: no memory");
    ASSERT_NE(error, 0u);
    EXPECT_TRUE(m_screen.Viewable(error));
    EXPECT_TRUE(m_screen.FindByName(kDialogTitle).empty()) << "the dialog is never shown";
    PressKeyIn(about, "Return");
    EXPECT_EQ(Ended(), 0);
    EXPECT_TRUE(m_screen.FindByName(kDialogTitle).empty());
}

class LowColourDialogsTest : public DialogsTest {
  protected:
    LowColourDialogsTest() : DialogsTest(8) {}
};

TEST_F(LowColourDialogsTest, AboutBoxShowsTheOkButtonInsteadOfThePicture) {
    Start({"/c"});
    const Window dialog = Dialog();
    ASSERT_NE(dialog, 0u);
    PressKeyIn(dialog, "F1");
    const Window about = m_screen.WaitForWindow(kAboutTitle);
    ASSERT_NE(about, 0u);
    uie2e::Pause(300);
    const Window ok = Child(about, "OK");
    ASSERT_NE(ok, 0u);
    EXPECT_TRUE(m_screen.Viewable(ok));
    const Window button = PictureButton(about);
    EXPECT_TRUE(button == 0 || !m_screen.Viewable(button));
    Click(ok);
    EXPECT_TRUE(m_screen.WaitGone(kAboutTitle));
    PressKeyIn(dialog, "Escape");
    EXPECT_EQ(Ended(), 0);
}

}  // namespace
