#include <gtest/gtest.h>

#include <thread>


#include "rig.h"
#include "screen/cell.h"
#include "screen/clock.h"
#include "screen/font.h"
#include "screen/press_repeat.h"
#include "screen/scale.h"

using namespace kestrel;
using namespace kestrel::test;

// As the viewer shows a file's bytes: tabs to 8k + 1, backspace not past column 1, no scrolling; 11, 12, 27, 128-255 are glyphs.
TEST(Screen, ControlBytesWrappingAndNoScroll) {
    Rig rig;
    Screen& s = rig.screen;
    s.setColors(14, 1);
    const std::tuple<int, int, std::string> prints[] = {{1, 1, "\tA"}, {2, 8, "\tB\tC"}, {3, 5, "xy\b\bZ\a\x07"}, {4, 1, "\bab\rc\nd"},
                                                        {6, 1, "\x0b\x0c\x1b\x80\xe9"}, {7, 79, "123"}, {29, 1, "keep"}, {30, 80, "Q"}};
    for (const auto& [row, col, text] : prints) {
        s.locate(row, col);
        s.print(text);
    }
    const std::tuple<int, int, std::string> reads[] = {{1, 1, "        A"}, {2, 8, " B       C"}, {3, 5, "Zy"}, {4, 1, "cb"}, {5, 1, "d"},
                                                       {6, 1, "\x0b\x0c\x1b\x80\xe9"}, {7, 79, "12"}, {8, 1, "3"}, {29, 1, "keep"}, {30, 80, "Q"}};
    for (const auto& [row, col, text] : reads) EXPECT_EQ(readText(s, 0, row, col, int(text.size())), text) << row;
    EXPECT_EQ(std::pair(readCell(s, 0, 1, 9), rig.presenter.bells), std::pair(CellRead{'A', 14, 1}, 2));
}

// Code page 437's glyphs, else Unifont's in one or two cells, else one replacement cell; a stray byte is its CP437 glyph.
TEST(Screen, NamesDrawnAsUtf8InOneOrTwoCellsEach) {
    using Bits = std::array<std::uint8_t, 16>;
    Rig rig;
    Screen& s = rig.screen;
    s.setColors(15, 1);
    const auto shown = [&](int row, int col) {
        Bits b{};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x)
                if (s.pixel(0, (col - 1) * 8 + x, (row - 1) * 16 + y) == 15) b[y] |= std::uint8_t(0x80 >> x);
        return b;
    };
    const auto unifont = [](const std::string& hex, int half) {  // rows as in unifont.hex
        Bits b{};
        const int perRow = int(hex.size()) / 16;
        for (int y = 0; y < 16; ++y) b[y] = std::uint8_t(std::stoul(hex.substr(y * perRow + half * 2, 2), nullptr, 16));
        return b;
    };
    Bits replacement = kFont8x16['?'];
    for (auto& r : replacement) r = std::uint8_t(~r);
    const std::string zh = "01000100010001003FF8210821082108210821083FF821080100010001000100";  // U+4E2D
    s.locate(1, 1);
    EXPECT_EQ(s.printText("\xC3\xA9\xCE\xB1\xD0\x96\xE4\xB8\xAD" "e\xCC\x81\n\xF0\x9F\x98\x80\xFF\xC2\xBD"), 11);
    const std::vector<Bits> expected = {kFont8x16[130], kFont8x16[224], unifont("0000000049492A2A1C1C2A2A49490000", 0),
                                        unifont(zh, 0), unifont(zh, 1), kFont8x16['e'], replacement, replacement,
                                        replacement, kFont8x16[255], kFont8x16[171]};  // the last, U+00BD, is code page 437's
    for (int c = 1; c <= 11; ++c) EXPECT_EQ(shown(1, c), expected[size_t(c - 1)]) << c;
    s.locate(2, 1);
    const int drawn = s.printText("abcd\xE4\xB8\xAD", 5);
    EXPECT_EQ(std::tuple(drawn, s.cursorCol(), s.textCells("a\xE4\xB8\xAD" "b\xC3")), std::tuple(4, 5, 5));
    EXPECT_EQ(std::pair(s.textTailStart("ab\xE4\xB8\xAD", 2), s.textTailStart("ab\xE4\xB8\xAD", 3)), std::pair(std::size_t{2}, std::size_t{1}));
    // Without the unifont package every character outside code page 437 is one replacement cell.
    s.unifont().use("/nonexistent/unifont.hex", "/nonexistent/combining.txt");
    s.locate(3, 1);
    EXPECT_EQ(s.printText("\xE4\xB8\xAD\xD0\x96\xC3\xA9"), 3);
    EXPECT_EQ((std::vector{shown(3, 1), shown(3, 2), shown(3, 3)}), (std::vector{replacement, replacement, kFont8x16[130]}));
}

TEST(Screen, DesktopScaleFromXftDpiOrGdkScale) {
    struct Case { const char* resources; const char* gdkScale; int scale; };
    for (const Case& c : {Case{"Xft.dpi:\t143.9\n", "", 1}, {"Xft.antialias:\t1\nXft.dpi:\t144\n", nullptr, 2}, {"Xft.dpi: 192", nullptr, 2},
                          {"Xft.dpi:\t240\r\n", nullptr, 3}, {"Xft.dpi:\t96\n", "2", 2}, {"Xft.dpi:\t192\n", "1", 2}, {"", "2x", 1},
                          {"Xft.dpi: lots\n", nullptr, 1}, {"", "99", kMaxScale}, {"Xft.dpi: 816", nullptr, kMaxScale}, {"Xft.dpiX:\t192\n", nullptr, 1}})
        EXPECT_EQ(desktopScale(c.resources, c.gdkScale), c.scale) << c.resources << " / " << (c.gdkScale ? c.gdkScale : "-");
    const std::uint32_t row[] = {7, 9};
    std::uint32_t wide[6] = {};
    widenRow(row, 2, 3, wide);
    EXPECT_EQ(std::vector(wide, wide + 6), (std::vector<std::uint32_t>{7, 7, 7, 9, 9, 9}));
    EXPECT_EQ(std::tuple(floorDiv(-5, 2), floorDiv(-4, 2), floorDiv(5, 2)), std::tuple(-3, -2, 2));
}

// A new mode resets the palette and the pages; drawing is clipped at the page's edges; a string leaves its background alone.
TEST(Screen, ModePalettePagesAndClipping) {
    Rig rig;
    Screen& s = rig.screen;
    for (int entry : {2, 255, 256}) s.setPaletteEntry(entry, 0x152371);  // 256 is no entry: ignored
    EXPECT_EQ(std::pair(s.palette()[255], rgbFromPacked(0x1B280C)), std::pair(Rgb{198, 141, 85}, Rgb{48, 161, 109}));
    s.setPages(3, 3);
    for (const auto& [w, h] : {std::pair{1024, 768}, {640, 600}, {800, 480}}) EXPECT_FALSE(s.setMode(w, h)) << w << "x" << h;
    EXPECT_TRUE(s.setMode(800, 600));
    EXPECT_EQ(std::tuple(s.cols(), s.rows(), s.workPage(), s.visiblePage(), s.palette()[2], s.palette()[248]),
              std::tuple(100, 37, 0, 0, defaultPalette()[2], Rgb{}));  // the colour ramps end before 248
    s.setPages(5, 5);
    const int ignored = s.workPage();
    s.setPages(2, -1);
    EXPECT_EQ(std::tuple(ignored, s.workPage(), s.visiblePage()), std::tuple(0, 2, 0));
    s.fillBox(-10, -10, 3, 3, 4);
    s.drawBox(790, 590, 900, 700, 9);
    s.drawLine(-50, -40, 700, 710, 5);
    s.fillBox(0, 200, 40, 230, 2);
    s.setColors(15, 0);
    s.drawString(0, 200, "H");  // its left column on the page's first pixel
    s.drawString(796, 590, "WW");
    const int pixels[][3] = {{0, 0, 4},     {3, 3, 4},     {4, 4, 0},     {790, 599, 9},
                             {791, 591, 0}, {799, 590, 9}, {190, 200, 5}, {0, 200, 2}, {0, 202, 15}};
    for (const auto& p : pixels) EXPECT_EQ(s.pixel(2, p[0], p[1]), p[2]) << p[0] << "," << p[1];
}

// A sleep of 100 ms or more ends at a waiting key; the window gets only the pixels that differ from what it
// shows, all after new colours, none while locked or hidden.
TEST(Screen, SleepsPagesCopyAndTheWindowGetsOnlyWhatChangedOutsideLocks) {
    Rig rig;
    Screen& s = rig.screen;
    std::vector<std::int64_t> times;
    auto sleep = [&](int ms) { s.sleep(ms); times.push_back(rig.clock.nowMs()); };
    for (int ms : {99, 130}) sleep(ms);
    rig.input.pushKey(Key::character('k'));
    sleep(2000);  // a key ends it at the next 50 ms step
    EXPECT_EQ(std::pair(s.pollKey(), times), std::pair(Key::character('k'), std::vector<std::int64_t>{99, 229, 279}));
    s.setColors(0, 3);
    s.clearScreen();
    s.copyPage(0, 2);
    s.fillBox(0, 0, 5, 5, 6);
    s.copyPage(0, 5);  // no such page: ignored
    EXPECT_EQ(s.pixel(2, 10, 10) * 10 + s.pixel(2, 1, 1), 33);
    s.copyPage(2, 0);
    EXPECT_EQ(s.pixel(0, 1, 1), 3);
    const auto presented = [&](const std::function<void()>& draw) {
        s.flush();
        const int before = rig.presenter.presents;
        draw();
        s.flush();
        const Rect r = rig.presenter.lastArea;
        return rig.presenter.presents > before ? std::vector{r.x1, r.y1, r.x2, r.y2} : std::vector<int>{};
    };
    const std::vector<int> none, all{0, 0, 639, 479};
    const auto text = presented([&] { s.printAt(2, 3, "AB"); });  // the glyphs' own pixels, inside their two cells
    EXPECT_TRUE(text.size() == 4 && text[0] >= 16 && text[2] <= 31 && text[1] >= 16 && text[3] <= 31);
    EXPECT_EQ(presented([&] { s.fillBox(100, 100, 300, 200, 3); }), none);  // the colour already there
    EXPECT_EQ(presented([&] { s.fillBox(5, 7, 300, 7, 1); }), (std::vector{5, 7, 300, 7}));
    EXPECT_EQ(presented([&] { s.setPaletteEntry(1, 0x3F0000); }), all);
    EXPECT_EQ(presented([&] { s.setMode(640, 480); }), all);
    s.lock();
    s.lock();
    s.unlock();
    s.fillBox(0, 0, 10, 10, 2);
    EXPECT_EQ(presented([&] { s.sleep(10); }), none);
    EXPECT_EQ(presented([&] { s.unlock(); }), (std::vector{0, 0, 10, 10}));
    s.unlock();  // unbalanced: ignored
    s.setPages(1, 0);
    EXPECT_EQ(presented([&] { s.fillBox(0, 0, 10, 10, 7); }), none);
}

// The idle loops' real wait ends when the X11 event thread delivers input.
TEST(InputWait, RealWaitEndsWhenAnotherThreadDeliversInput) {
    Input input;
    const std::uint64_t seen = input.changes();
    std::thread producer([&] { input.pointerMoved(3, 4); });
    RealClock().waitForInput(input, seen, 10 * 60 * 1000);
    producer.join();
    EXPECT_NE(input.changes(), seen);
}

TEST(Cell, PointerToCellTiesToEven) {
    const int cases[][4] = {{0, 0, 0, 0}, {8, 16, 2, 2}, {15, 32, 2, 2}, {16, 47, 2, 3}, {639, 479, 80, 30}};
    for (const auto& c : cases) EXPECT_EQ(std::pair(cellOf(c[0], c[1]).col, cellOf(c[0], c[1]).row), std::pair(c[2], c[3])) << c[0];
}

// A hand's press acts once, a long hold repeats (taps: the click-once scenarios).
TEST(InputPress, AClickActsOnceAndALongHoldRepeats) {
    struct Case { int heldAtOpen, holdMs, acts; /* polls every 40 ms while held */ };
    for (const Case c : {Case{0, 50, 1}, {0, 120, 1}, {0, 200, 1}, {0, 400, 4}, {1, 200, 0}}) {
        PressRepeat press;
        press.begin(MouseState{0, 0, 0, c.heldAtOpen, true});
        int acts = 0;
        for (int t = 0; t < c.holdMs; t += 40) acts += press.acts(1, t);
        const bool released = press.acts(0, c.holdMs);
        EXPECT_EQ(std::tuple(acts, released, press.acts(1, c.holdMs + 40)), std::tuple(c.acts, false, true)) << c.holdMs;  // the next click is new
    }
}
