// Kestrel's real window under a private Xvfb, driven from outside with
// xdotool and read back with xwininfo, xprop and the test's own connection.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "screen/screen.h"
#include "screen/x11_presenter.h"
#include "x_probe.h"
#include "xvfb.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kDesktopW = 1280, kDesktopH = 1024;

class X11Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        xvfb = new Xvfb(std::to_string(kDesktopW) + "x" + std::to_string(kDesktopH) + "x24");
        // xdotool, xprop and xwininfo find the display here.
        if (!xvfb->display().empty()) setenv("DISPLAY", xvfb->display().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete xvfb;
        xvfb = nullptr;
    }

    void SetUp() override {
        ASSERT_FALSE(xvfb->display().empty()) << "Xvfb did not start";
        open(true);
    }

    void open(bool sharedMemory) {
        screen.reset();
        presenter.reset();
        std::string error;
        presenter = makeX11Presenter(input, error, {xvfb->display(), sharedMemory});
        ASSERT_TRUE(presenter) << error;
        screen = std::make_unique<Screen>(clock, input, *presenter);
        ASSERT_TRUE(screen->setMode(640, 480));
        screen->setTitle("Kestrel");
        ASSERT_TRUE(waitFor([&] { return (window = findWindow("Kestrel")) != 0; }));
        ASSERT_TRUE(waitFor([&] { return windowInfo(window).value_or(WindowInfo{}).viewable; }));
    }

    void focus() { runCommand("xdotool windowfocus --sync " + std::to_string(window)); }

    // Waits until `n` keys have come in and returns them in order.
    std::vector<Key> takeKeys(size_t n) {
        std::vector<Key> keys;
        waitFor([&] {
            for (Key k = input.pollKey(); !k.empty(); k = input.pollKey()) keys.push_back(k);
            return keys.size() >= n;
        });
        return keys;
    }

    MouseState mouseWhen(const std::function<bool(const MouseState&)>& wanted) {
        MouseState m;
        waitFor([&] { return wanted(m = input.pollMouse()); });
        return m;
    }

    static Xvfb* xvfb;
    Input input;
    RealClock clock;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<Screen> screen;
    unsigned long window = 0;
};

Xvfb* X11Window::xvfb = nullptr;

std::optional<WindowInfo> infoWhen(unsigned long window, int x, int y, int w, int h) {
    std::optional<WindowInfo> info;
    waitFor([&] {
        info = windowInfo(window);
        return info && info->x == x && info->y == y && info->width == w && info->height == h;
    });
    return info;
}

TEST_F(X11Window, OpensCentredUndecoratedAndFollowsModeAndPosition) {
    ASSERT_TRUE(infoWhen(window, 320, 272, 640, 480));
    // An ordinary window that asks for no decorations, so it can take focus.
    EXPECT_FALSE(windowInfo(window)->overrideRedirect);
    const std::string id = std::to_string(window);
    EXPECT_NE(runCommand("xprop -id " + id + " _MOTIF_WM_HINTS").find("= 0x2, 0x0, 0x0, 0x0, 0x0"), std::string::npos);
    const std::string protocols = runCommand("xprop -id " + id + " WM_PROTOCOLS");
    EXPECT_NE(protocols.find("WM_DELETE_WINDOW"), std::string::npos) << protocols;
    EXPECT_NE(protocols.find("_NET_WM_PING"), std::string::npos) << protocols;
    EXPECT_NE(runCommand("xprop -id " + id + " _NET_WM_NAME").find("\"Kestrel\""), std::string::npos);
    EXPECT_EQ(presenter->desktopSize(), (Point{kDesktopW, kDesktopH}));
    // Moved away, then a mode change puts it back in the centre at the new size.
    presenter->setWindowPosition({-10, 37});
    ASSERT_TRUE(infoWhen(window, -10, 37, 640, 480));
    EXPECT_EQ(presenter->windowPosition(), (Point{-10, 37}));
    ASSERT_TRUE(screen->setMode(800, 600));
    ASSERT_TRUE(infoWhen(window, 240, 212, 800, 600));
    EXPECT_EQ(presenter->windowPosition(), (Point{240, 212}));
    EXPECT_EQ(findWindow("Kestrel"), window);  // still one window
}

// Keys with their codes, the wheel, a click no poll saw held, leaving and
// Kestrel's own pointer warp.
TEST_F(X11Window, InputArrivesAsAPersonGaveIt) {
    focus();
    runCommand("xdotool key a shift+b ctrl+w Return Escape BackSpace F10 Up Prior Next Insert Delete KP_End");
    const std::vector<Key> expected = {
        Key::character('a'),        Key::character('B'),        Key::character(ch::CtrlW), Key::character(ch::Enter),
        Key::character(ch::Esc),    Key::character(ch::Backspace), Key::extended(scan::F10), Key::extended(scan::Up),
        Key::extended(scan::PgUp),  Key::extended(scan::PgDn),  Key::extended(scan::Ins),  Key::extended(scan::Del),
        Key::extended(scan::End),
    };
    EXPECT_EQ(takeKeys(expected.size()), expected);

    runCommand("xdotool mousemove --window " + std::to_string(window) + " 100 50");
    MouseState m = mouseWhen([](const MouseState& s) { return s.valid && s.x == 100 && s.y == 50; });
    EXPECT_EQ(m.buttons, 0);
    const int wheel = m.wheel;
    runCommand("xdotool click 4");
    EXPECT_EQ(mouseWhen([&](const MouseState& s) { return s.wheel != wheel; }).wheel, wheel + 1);
    runCommand("xdotool click 5 click 5");
    EXPECT_EQ(mouseWhen([&](const MouseState& s) { return s.wheel < wheel; }).wheel, wheel - 1);
    runCommand("xdotool click 3");
    EXPECT_EQ(mouseWhen([](const MouseState& s) { return s.right(); }).buttons, 2);
    EXPECT_EQ(input.pollMouse().buttons, 0);  // seen once
    runCommand("xdotool mousemove 5 5");
    m = mouseWhen([](const MouseState& s) { return !s.valid; });
    EXPECT_EQ((Point{m.x, m.y}), (Point{-1, -1}));
    presenter->setPointer(Point{200, 120}, false);
    EXPECT_TRUE(mouseWhen([](const MouseState& s) { return s.valid && s.x == 200 && s.y == 120; }).valid);
}

TEST_F(X11Window, CloseRequestIsAKeyAndPingIsAnswered) {
    XProbe probe(xvfb->display());
    ASSERT_TRUE(probe.connected());
    probe.sendProtocol(window, "WM_DELETE_WINDOW");
    EXPECT_EQ(takeKeys(1), std::vector<Key>{Key::extended(scan::Close)});
    EXPECT_TRUE(windowInfo(window).value_or(WindowInfo{}).viewable);  // still there
    probe.sendProtocol(window, "_NET_WM_PING", 4242);
    EXPECT_TRUE(probe.pingAnswered(window, 4242));
}

void checkPresentedColours(Screen& screen, unsigned long window, XProbe& probe) {
    screen.fillBox(0, 0, screen.width() - 1, screen.height() - 1, 1);
    screen.fillBox(10, 10, 19, 19, 14);
    screen.flush();
    const Palette& p = defaultPalette();
    EXPECT_TRUE(waitFor([&] { return probe.windowPixel(window, 19, 19) == p[14]; }));
    EXPECT_EQ(probe.windowPixel(window, 20, 19), p[1]);
    EXPECT_EQ(probe.windowPixel(window, 639, 479), p[1]);
    // A changed palette entry recolours what is already on the window; a
    // small change leaves the rest.
    screen.setPaletteEntry(14, 0x152371);
    screen.fillBox(600, 400, 600, 400, 15);
    screen.flush();
    EXPECT_TRUE(waitFor([&] { return probe.windowPixel(window, 600, 400) == p[15]; }));
    EXPECT_EQ(probe.windowPixel(window, 15, 15), (Rgb{198, 141, 85}));
}

// Shared memory and plain XPutImage; and a window covered while Kestrel's
// thread waits for an outside program is repainted, its keys queued.
TEST_F(X11Window, PresentsThePaletteColoursEvenWhileBlocked) {
    XProbe probe(xvfb->display());
    ASSERT_TRUE(probe.connected());
    checkPresentedColours(*screen, window, probe);
    open(false);
    checkPresentedColours(*screen, window, probe);

    screen->fillBox(0, 0, 639, 479, 4);
    screen->flush();
    const Rgb red = defaultPalette()[4], white{255, 255, 255};
    ASSERT_TRUE(waitFor([&] { return probe.screenPixel(640, 512) == red; }));
    focus();
    const auto release = std::filesystem::temp_directory_path() / ("kestrel-e2e-" + std::to_string(getpid()));
    std::filesystem::remove(release);
    bool covered = false, repainted = false;
    std::thread outside([&] {
        probe.cover(320, 272, 640, 480);
        covered = waitFor([&] { return probe.screenPixel(640, 512) == white; });
        probe.uncover();
        repainted = waitFor([&] { return probe.screenPixel(321, 273) == red && probe.screenPixel(958, 750) == red; });
        runCommand("xdotool key x shift+y");
        waitFor([&] { return input.keyWaiting(); });
        if (std::FILE* f = std::fopen(release.c_str(), "w")) std::fclose(f);
    });
    const int status = screen->runShell("i=0; while [ ! -e '" + release.string() +
                                        "' ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; exit 3");
    outside.join();
    std::filesystem::remove(release);
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(covered);
    EXPECT_TRUE(repainted);
    EXPECT_EQ(takeKeys(2), (std::vector<Key>{Key::character('x'), Key::character('Y')}));
}

}  // namespace
