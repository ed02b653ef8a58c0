// The real kestrel executable in a private Xvfb, one test per thing X11 does
// for it: the window, input delivery, presenting, and the close request.
// Driven with xdotool; read back through the test's own X connection.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "screen/palette.h"
#include "session.h"
#include "xvfb.h"
// Last: Xlib's macros (None, Status) would clash with Kestrel's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        for (int c; (c = fgetc(p)) != EOF;) out += static_cast<char>(c);
        pclose(p);
    }
    return out;
}

bool waitFor(const std::function<bool()>& done, int limitMs = 5000) {
    for (int t = 0; t < limitMs; t += 20)
        if (done()) return true;
        else std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return false;
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Kestrel on a fresh 1280x1024 desktop, listing a directory with "alpha" and "small.txt".
struct KestrelWindow : ::testing::Test {
    Xvfb xvfb{"1280x1024x24"};
    TempDir program, tree;
    Display* dpy = nullptr;
    Window window = 0;
    pid_t pid = -1;
    std::string id;

    void SetUp() override {
        ASSERT_FALSE(xvfb.display().empty()) << "Xvfb did not start";
        setenv("DISPLAY", xvfb.display().c_str(), 1);  // for Kestrel, xdotool and xprop
        tree.file("alpha/inner.txt", "inside");
        tree.file("small.txt", "tiny");
        program.file("Kestrel.cfg", "0 BigSmall\n1 BackGround\n" + tree.path + "\n1 SortList\n");
        std::string exe = program.path + "/kestrel";
        std::filesystem::copy_file(KESTREL_BINARY, exe);
        char* argv[] = {exe.data(), nullptr};
        ASSERT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ), 0);
        ASSERT_TRUE(dpy = XOpenDisplay(xvfb.display().c_str()));
        ASSERT_TRUE(waitFor([&] { return !(id = run("xdotool search --onlyvisible --name '^Kestrel$' 2>/dev/null")).empty(); }, 10000));
        window = std::stoul(id);
        id = std::to_string(window);
        run("xdotool windowfocus --sync " + id);
        pause(1500);
    }
    void TearDown() override {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (dpy) XCloseDisplay(dpy);
    }
    // Kestrel's exit status once it has ended within `limitMs`, or -1.
    int exitStatus(int limitMs = 10000) {
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limitMs)) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void keys(const std::string& k, int settleMs = 1200) {
        run("xdotool key --delay 150 " + k);
        pause(settleMs);
    }
    // Where the window is on the desktop and its size.
    std::array<int, 4> geometry() {
        XWindowAttributes a{};
        int x = 0, y = 0;
        Window child;
        XGetWindowAttributes(dpy, window, &a);
        XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        return {x, y, a.width, a.height};
    }
    bool geometryBecomes(std::array<int, 4> g) { return waitFor([&] { return geometry() == g; }); }
    // What a person sees at the window's place: the desktop's own pixels, each as its index in `p`.
    std::vector<int> shown(const Palette& p) {
        const auto [x0, y0, w, h] = geometry();
        std::vector<int> out;
        XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x0, y0, w, h, AllPlanes, ZPixmap);
        if (!image) return out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned long px = XGetPixel(image, x, y);
                const Rgb c{std::uint8_t(px >> 16), std::uint8_t(px >> 8), std::uint8_t(px)};
                out.push_back(int(std::find(p.begin(), p.end(), c) - p.begin()));
            }
        XDestroyImage(image);
        return out;
    }
    std::string settingsWritten() { return program.read("Kestrel.cfg"); }
};

TEST_F(KestrelWindow, BorderlessCentredAndCentredAgainAtTheExpandedSize) {
    EXPECT_TRUE(geometryBecomes({320, 272, 640, 480}));
    XWindowAttributes a{};
    XGetWindowAttributes(dpy, window, &a);
    EXPECT_FALSE(a.override_redirect);  // an ordinary window asking for no frame, so it can take focus
    EXPECT_NE(run("xprop -id " + id + " _MOTIF_WM_HINTS").find("= 0x2, 0x0, 0x0, 0x0, 0x0"), std::string::npos);
    keys("m");
    EXPECT_TRUE(geometryBecomes({240, 212, 800, 600}));
    EXPECT_EQ(run("xdotool search --name '^Kestrel$'"), id + "\n");  // still the one window
    keys("Escape", 0);
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_EQ(settingsWritten(), "1 BigSmall\n1 BackGround\n" + tree.path + "\n1 SortList\n");
}

// An extended key, a character key and a click held as a hand holds it.
TEST_F(KestrelWindow, KeysAndAHeldClickReachKestrel) {
    keys("Down Return s");
    run("xdotool mousemove --window " + id + " 628 8 mousedown 1 sleep 0.15 mouseup 1");  // " X "
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_EQ(settingsWritten(), "0 BigSmall\n1 BackGround\n" + tree.path + "/alpha\n3 SortList\n");
}

// The desktop shows exactly the page a headless Kestrel draws for the same
// directory, and shows it again after another window covered it.
TEST_F(KestrelWindow, TheDrawnPageReachesTheDesktopAndComesBackWhenUncovered) {
    Session s;
    std::vector<int> drawn;
    Palette palette;
    s.settings(0, 1, tree.path, 1);
    s.script.wait(1500).move(320, 240).wait(500).then([&] {
        palette = s.screen().palette();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) drawn.push_back(s.screen().pixel(0, x, y));
    });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(shown(palette), drawn);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = WhitePixel(dpy, DefaultScreen(dpy));
    const Window cover = XCreateWindow(dpy, DefaultRootWindow(dpy), 300, 250, 400, 300, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect | CWBackPixel, &attrs);
    XMapRaised(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(waitFor([&] { return shown(palette) != drawn; }));
    XDestroyWindow(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(waitFor([&] { return shown(palette) == drawn; }));
}

// The window manager's close request is answered by nothing but staying
// open (Kestrel ends only through its own exit); its ping is answered.
TEST_F(KestrelWindow, ACloseRequestLeavesKestrelRunningAndEscEndsItCleanly) {
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    for (const char* protocol : {"WM_DELETE_WINDOW", "_NET_WM_PING"}) {
        XEvent ev{};
        ev.xclient = {ClientMessage, 0, False, dpy, window, XInternAtom(dpy, "WM_PROTOCOLS", False), 32, {}};
        ev.xclient.data.l[0] = long(XInternAtom(dpy, protocol, False));
        ev.xclient.data.l[1] = 4242;
        ev.xclient.data.l[2] = long(window);
        XSendEvent(dpy, window, False, NoEventMask, &ev);
    }
    XSync(dpy, False);
    EXPECT_TRUE(waitFor([&] {
        XEvent ev;
        while (XPending(dpy))
            if (XNextEvent(dpy, &ev), ev.type == ClientMessage && ev.xclient.window == DefaultRootWindow(dpy) &&
                                          ev.xclient.data.l[1] == 4242 && Window(ev.xclient.data.l[2]) == window)
                return true;
        return false;
    }));
    EXPECT_EQ(exitStatus(1500), -1);
    keys("Escape", 0);
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_EQ(settingsWritten(), "0 BigSmall\n1 BackGround\n" + tree.path + "\n1 SortList\n");
}

}  // namespace
