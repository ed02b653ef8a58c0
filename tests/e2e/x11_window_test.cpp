// The real kestrel executable in a private Xvfb, driven with xdotool and read back through the test's own X connection.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "screen/font.h"
#include "screen/unifont.h"
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

// Kestrel on a fresh 1280x1024 desktop, listing a directory "alpha" and names in several scripts, an emoji,
// stray bytes and a name of exactly 37 cells ending in a wide character.
struct KestrelWindow : ::testing::Test {
    std::unique_ptr<Xvfb> xvfb;
    TempDir program, tree;
    Display* dpy = nullptr;
    Window window = 0;
    pid_t pid = -1;
    std::string id;

    virtual std::string desktop() const { return "1280x1024x24"; }
    virtual void prepare() {}  // once the desktop runs, before Kestrel starts

    void SetUp() override {
        xvfb = std::make_unique<Xvfb>(desktop());
        ASSERT_FALSE(xvfb->display().empty()) << "Xvfb did not start";
        setenv("DISPLAY", xvfb->display().c_str(), 1);  // for Kestrel, xdotool and xprop
        unsetenv("GDK_SCALE");
        tree.file("alpha/inner.txt", "inside");
        const std::string names[] = {"small.txt", "caf\xC3\xA9.txt", "\xCE\xB1\xCE\xB2.txt", "\xD0\x96\xD1\x83\xD0\xBA.txt", "\xE4\xB8\xAD\xE6\x96\x87.txt",
                                     "smile\xF0\x9F\x98\x80.png", "bad\xFF\xFE.bin", std::string(35, 'w') + "\xE4\xB8\xAD"};
        for (const std::string& name : names) tree.file(name, "x");
        prepare();
        program.file("Kestrel.cfg", "0 BigSmall\n1 BackGround\n" + tree.path + "\n1 SortList\n");
        std::string exe = program.path + "/kestrel";
        std::filesystem::copy_file(KESTREL_BINARY, exe);
        char* argv[] = {exe.data(), nullptr};
        ASSERT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ), 0);
        ASSERT_TRUE(dpy = XOpenDisplay(xvfb->display().c_str()));
        ASSERT_TRUE(waitFor([&] { return !(id = run("xdotool search --onlyvisible --name '^Kestrel$' 2>/dev/null")).empty(); }, 10000));
        id = std::to_string(window = std::stoul(id));
        run("xdotool windowfocus --sync " + id);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    void TearDown() override {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (dpy) XCloseDisplay(dpy);
    }
    int exitStatus(int limitMs = 10000) {
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limitMs)) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::array<int, 4> geometry() {
        XWindowAttributes a{};
        int x = 0, y = 0;
        Window child;
        XGetWindowAttributes(dpy, window, &a);
        XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        return {x, y, a.width, a.height};
    }
    bool geometryBecomes(std::array<int, 4> g) { return waitFor([&] { return geometry() == g; }); }
    // What a person sees at the window's place: the desktop's own 24-bit pixels.
    std::vector<unsigned long> shown() {
        const auto [x0, y0, w, h] = geometry();
        std::vector<unsigned long> out;
        if (XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x0, y0, w, h, AllPlanes, ZPixmap)) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) out.push_back(XGetPixel(image, x, y));
            XDestroyImage(image);
        }
        return out;
    }
    // The page a headless Kestrel draws for the same directory in 24-bit pixels, each a `scale` square.
    std::vector<unsigned long> drawnPage(int scale = 1) {
        Session s;
        std::vector<unsigned long> drawn;
        s.settings(0, 1, tree.path, 1);
        s.script.wait(1500).move(320, 240).wait(500).then([&] {
            for (int y = 0; y < 480 * scale; ++y)
                for (int x = 0; x < 640 * scale; ++x) {
                    const Rgb c = s.screen().palette()[size_t(s.screen().pixel(0, x / scale, y / scale))];
                    drawn.push_back(c.r << 16 | c.g << 8 | c.b);
                }
        });
        EXPECT_EQ(s.quit(), 0);
        return drawn;
    }
    void click(int x, int y) {
        run("xdotool mousemove --window " + id + " " + std::to_string(x) + " " + std::to_string(y) +
            " mousedown 1 sleep 0.15 mouseup 1");
    }
};

using Bits = std::array<std::uint8_t, 16>;

// One half of a wide Unifont glyph (the screen tests pin Kestrel's reading of the font).
Bits unifontHalf(char32_t code, int half) {
    Unifont font;
    const WideGlyph* glyph = font.glyph(code);
    Bits b{};
    for (size_t y = 0; glyph && y < 16; ++y) b[y] = std::uint8_t(glyph->rows[y] >> (half ? 0 : 8));
    return b;
}

// A borderless window, centred, that a window manager's close request leaves open (Kestrel ends only through its own exit).
// The desktop shows exactly the page a headless Kestrel draws, every character in its glyph, again after another
// window covered it. Keys and a held click reach Kestrel; centred again when expanded.
TEST_F(KestrelWindow, ABorderlessWindowShowingTheDrawnPageTakingInputAndOutlivingACloseRequest) {
    EXPECT_TRUE(geometryBecomes({320, 272, 640, 480}));
    XWindowAttributes a{};
    XGetWindowAttributes(dpy, window, &a);
    EXPECT_FALSE(a.override_redirect);  // an ordinary window asking for no frame, so it can take focus
    EXPECT_NE(run("xprop -id " + id + " _MOTIF_WM_HINTS").find("= 0x2, 0x0, 0x0, 0x0, 0x0"), std::string::npos);
    // A window manager's close request and its ping: the ping comes back to the root window, unlike a hung program's.
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    for (const char* protocol : {"WM_DELETE_WINDOW", "_NET_WM_PING"}) {
        XEvent ev{};
        ev.xclient = {ClientMessage, 0, False, dpy, window, XInternAtom(dpy, "WM_PROTOCOLS", False), 32, {}};
        ev.xclient.data.l[0] = long(XInternAtom(dpy, protocol, False));
        ev.xclient.data.l[1] = 4242;
        ev.xclient.data.l[2] = long(window);
        XSendEvent(dpy, window, False, NoEventMask, &ev);
    }
    EXPECT_TRUE(waitFor([&] {
        XEvent ev;
        while (XPending(dpy))
            if (XNextEvent(dpy, &ev), ev.type == ClientMessage && ev.xclient.window == DefaultRootWindow(dpy) &&
                                          ev.xclient.data.l[1] == 4242 && Window(ev.xclient.data.l[2]) == window)
                return true;
        return false;
    }));
    EXPECT_EQ(exitStatus(1500), -1);
    const auto drawn = drawnPage(), seen = shown();
    ASSERT_EQ(seen, drawn);
    const auto cell = [&](int row, int col) {  // the black pixels, the list's text
        Bits b{};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x)
                if (seen[size_t(((row - 1) * 16 + y) * 640 + (col - 1) * 8 + x)] == 0) b[size_t(y)] |= std::uint8_t(0x80 >> x);
        return b;
    };
    // Rows 6 to 14: alpha, bad, café, small.txt, smile, www...中, αβ, Жук, 中文 (the screen tests pin each glyph).
    // The 37-cell name ends in both halves of its wide character, and no name moves the type column.
    EXPECT_EQ((std::vector{cell(11, 36), cell(11, 37), cell(11, 38)}), (std::vector{kFont8x16['w'], unifontHalf(U'\u4E2D', 0), unifontHalf(U'\u4E2D', 1)}));
    for (int row = 6; row <= 14; ++row)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(cell(row, 40 + i), kFont8x16[(row == 6 ? " dir" : "file")[i]]) << row;
    // No window manager runs: a white window goes where it asks, over Kestrel's.
    const Window cover = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 300, 250, 400, 300, 0, 0, WhitePixel(dpy, DefaultScreen(dpy)));
    XMapRaised(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(waitFor([&] { return shown() != drawn; }));
    XDestroyWindow(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(waitFor([&] { return shown() == drawn; }));
    run("xdotool key --delay 150 Down Return s m");  // an extended key, character keys, and the expanded size
    EXPECT_TRUE(geometryBecomes({240, 212, 800, 600}));
    click(628, 8);  // " X "
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_EQ(program.read("Kestrel.cfg"), "1 BigSmall\n1 BackGround\n" + tree.path + "/alpha\n3 SortList\n");
}

// At 192 dpi every pixel is a 2x2 block; the pad and the clicks work in the unscaled pixels.
struct HiDpiWindow : KestrelWindow {
    std::string desktop() const override { return "3840x2160x24"; }  // 1920x1080 at scale 1
    void prepare() override { run("echo 'Xft.dpi: 192' | xrdb -merge"); }
};

TEST_F(HiDpiWindow, TwiceTheSizeWithThePadAndClicksInPlace) {
    EXPECT_TRUE(geometryBecomes({1280, 600, 1280, 960}));
    EXPECT_EQ(shown(), drawnPage(2));
    click(2 * 613, 2 * 449);  // the pad's top-left square
    EXPECT_TRUE(geometryBecomes({8, 8, 1280, 960}));
    click(2 * 629, 2 * 465);  // bottom-right: (W - X - 5, H - Y - 216) on the 1920x1080 desktop it stands for
    EXPECT_TRUE(geometryBecomes({2 * 1275, 2 * 564, 1280, 960}));
}

}  // namespace
