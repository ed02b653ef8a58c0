#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

#include "rig.h"
#include "screen/cell.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Palette, DefaultAndPackedValues) {
    const Palette& p = defaultPalette();
    EXPECT_EQ(p[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[1], (Rgb{0, 0, 170}));
    EXPECT_EQ(p[6], (Rgb{170, 85, 0}));
    EXPECT_EQ(p[15], (Rgb{255, 255, 255}));
    EXPECT_EQ(p[16], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[31], (Rgb{255, 255, 255}));
    EXPECT_EQ(p[32], (Rgb{0, 0, 255}));
    EXPECT_EQ(p[40], (Rgb{255, 0, 0}));
    EXPECT_EQ(p[248], (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbFromPacked(0x002801), (Rgb{4, 161, 0}));
    EXPECT_EQ(rgbFromPacked(0x363A3A), (Rgb{234, 234, 218}));
    EXPECT_EQ(rgbFromPacked(0x152371), (Rgb{198, 141, 85}));
    EXPECT_EQ(rgbFromPacked(0x1B280C), (Rgb{48, 161, 109}));
}

TEST(Screen, ModeSetResetsPaletteAndPages) {
    Rig rig;
    Screen& s = rig.screen;
    s.setPaletteEntry(2, 0x152371);
    s.setPages(3, 3);
    EXPECT_TRUE(s.setMode(800, 600));
    EXPECT_EQ(s.cols(), 100);
    EXPECT_EQ(s.rows(), 37);
    EXPECT_EQ(s.palette()[2], defaultPalette()[2]);
    EXPECT_EQ(s.workPage(), 0);
    EXPECT_EQ(s.visiblePage(), 0);
    EXPECT_EQ(rig.presenter.position, (Point{560, 240}));
    EXPECT_FALSE(s.setMode(1024, 768));
    s.setPages(5, 5);
    EXPECT_EQ(s.workPage(), 0);
    s.setPages(2, -1);
    EXPECT_EQ(s.workPage(), 2);
    EXPECT_EQ(s.visiblePage(), 0);
}

TEST(Screen, ControlBytesWrappingAndNoScroll) {
    Rig rig;
    Screen& s = rig.screen;
    s.setColors(14, 1);
    s.locate(1, 1);
    s.print("\tA");
    EXPECT_EQ(readCell(s, 0, 1, 9), (CellRead{'A', 14, 1}));
    s.locate(2, 8);
    s.print("\tB\tC");
    EXPECT_EQ(readCell(s, 0, 2, 9).ch, 'B');
    EXPECT_EQ(readCell(s, 0, 2, 17).ch, 'C');
    s.locate(3, 5);
    s.print("xy\b\bZ\a\x07");
    EXPECT_EQ(readText(s, 0, 3, 5, 2), "Zy");
    EXPECT_EQ(rig.presenter.bells, 2);
    s.locate(4, 1);
    s.print("\b");
    EXPECT_EQ(s.cursorCol(), 1);
    s.print("ab\rc\nd");
    EXPECT_EQ(readText(s, 0, 4, 1, 2), "cb");
    EXPECT_EQ(readCell(s, 0, 5, 1).ch, 'd');
    // Byte 0, 12 and 27 are glyphs.
    s.locate(6, 1);
    s.print(std::string("\0\x0c\x1b", 3));
    EXPECT_EQ(s.cursorCol(), 4);
    EXPECT_EQ(readCell(s, 0, 6, 2).ch, 12);
    // A full row continues on the next one.
    s.locate(7, 79);
    s.print("123");
    EXPECT_EQ(readText(s, 0, 7, 79, 2), "12");
    EXPECT_EQ(readCell(s, 0, 8, 1).ch, '3');
    // The last cell does not scroll the page.
    s.locate(29, 1);
    s.print("keep");
    s.locate(30, 80);
    s.print("Q");
    EXPECT_EQ(readText(s, 0, 29, 1, 4), "keep");
    EXPECT_EQ(readCell(s, 0, 30, 80).ch, 'Q');
    s.locate(1, 1);
    s.printNumber(5);
    s.printNumber(-5, true);
    EXPECT_EQ(readText(s, 0, 1, 1, 4), " 5-5");
    EXPECT_EQ(s.cursorRow(), 2);
}

TEST(Screen, PixelDrawingIsClippedAndStringsAreTransparent) {
    Rig rig;
    Screen& s = rig.screen;
    s.fillBox(-10, -10, 3, 3, 4);
    EXPECT_EQ(s.pixel(0, 0, 0), 4);
    EXPECT_EQ(s.pixel(0, 3, 3), 4);
    EXPECT_EQ(s.pixel(0, 4, 4), 0);
    s.drawBox(630, 470, 700, 500, 9);
    EXPECT_EQ(s.pixel(0, 630, 479), 9);
    EXPECT_EQ(s.pixel(0, 631, 471), 0);
    s.drawLine(0, 100, 639, 100, 3);
    s.drawLine(-50, -50, 700, 700, 5);
    EXPECT_EQ(s.pixel(0, 200, 200), 5);
    s.fillBox(100, 200, 140, 230, 2);
    s.setColors(15, 0);
    s.drawString(100, 200, "H");
    EXPECT_EQ(s.pixel(0, 100, 200), 2);  // background of the glyph left alone
    EXPECT_EQ(s.pixel(0, 101, 202), 15);
    s.drawString(636, 470, "WW");  // off the edge: no crash
}

TEST(Screen, PagesCopyAndLocksPresentOnlyAtOutermostUnlock) {
    Rig rig;
    Screen& s = rig.screen;
    s.setColors(0, 3);
    s.clearScreen();
    s.copyPage(0, 2);
    EXPECT_EQ(s.pixel(2, 10, 10), 3);
    s.flush();
    const int before = rig.presenter.presents;
    s.lock();
    s.lock();
    s.fillBox(0, 0, 10, 10, 1);
    s.unlock();
    s.sleep(10);
    EXPECT_EQ(rig.presenter.presents, before);
    s.unlock();
    EXPECT_EQ(rig.presenter.presents, before + 1);
    s.unlock();  // unbalanced: ignored
    s.setPages(1, 0);
    s.fillBox(0, 0, 10, 10, 7);  // hidden page: nothing to present
    s.flush();
    EXPECT_EQ(rig.presenter.presents, before + 1);
}

TEST(Screen, PresentsOnlyPixelsThatDifferFromTheWindow) {
    Rig rig;
    Screen& s = rig.screen;
    s.setColors(0, 3);
    s.clearScreen();
    s.flush();
    auto presented = [&](const std::function<void()>& draw) {
        const int before = rig.presenter.presents;
        draw();
        s.flush();
        return rig.presenter.presents > before ? std::optional<Rect>(rig.presenter.lastArea) : std::nullopt;
    };
    const auto text = presented([&] { s.printAt(2, 3, "AB"); });
    ASSERT_TRUE(text);  // the glyphs' own pixels, inside their two cells
    EXPECT_GE(text->x1, 16);
    EXPECT_LE(text->x2, 31);
    EXPECT_GE(text->y1, 16);
    EXPECT_LE(text->y2, 31);
    EXPECT_FALSE(presented([&] { s.printAt(2, 3, "AB"); }));            // the same text again
    EXPECT_FALSE(presented([&] { s.fillBox(100, 100, 300, 200, 3); }));  // the colour already there
    const auto dot = presented([&] { s.fillBox(5, 7, 300, 7, 1); });
    ASSERT_TRUE(dot);
    EXPECT_EQ(std::tie(dot->x1, dot->y1, dot->x2, dot->y2), std::make_tuple(5, 7, 300, 7));
    const auto colours = presented([&] { s.setPaletteEntry(1, 0x3F0000); });  // new colours: the whole window
    ASSERT_TRUE(colours);
    EXPECT_EQ(std::tie(colours->x1, colours->y1, colours->x2, colours->y2), std::make_tuple(0, 0, 639, 479));
    EXPECT_TRUE(presented([&] { s.setMode(640, 480); }));  // a new window shows nothing yet
}

TEST(Screen, SleepRulesWithKeysWaiting) {
    Rig rig;
    Screen& s = rig.screen;
    s.sleep(99);
    EXPECT_EQ(rig.clock.nowMs(), 99);
    s.sleep(130);
    EXPECT_EQ(rig.clock.nowMs(), 229);
    rig.input.pushKey(Key::character('k'));
    s.sleep(2000);
    EXPECT_EQ(rig.clock.nowMs(), 279);
    EXPECT_EQ(s.pollKey(), Key::character('k'));
    rig.script.wait(1000).key('z');
    s.sleep(-1);
    EXPECT_EQ(rig.clock.nowMs(), 1009);
    EXPECT_TRUE(s.keyWaiting());
}

TEST(Input, MouseValidityWheelAndQuickTaps) {
    Input in;
    EXPECT_FALSE(in.pollMouse().valid);
    EXPECT_EQ(in.pollMouse().x, -1);
    in.pointerMoved(100, 50);
    in.wheelNotch(1);
    in.wheelNotch(1);
    in.wheelNotch(-1);
    MouseState m = in.pollMouse();
    EXPECT_TRUE(m.valid);
    EXPECT_EQ(m.wheel, 1);
    EXPECT_EQ(m.buttons, 0);
    in.buttonDown(0);
    in.buttonUp(0);  // released before the poll
    EXPECT_EQ(in.pollMouse().buttons, 1);
    EXPECT_EQ(in.pollMouse().buttons, 0);
    in.buttonDown(1);
    EXPECT_EQ(in.pollMouse().buttons, 2);
    EXPECT_EQ(in.pollMouse().buttons, 2);
    in.pointerLeft();
    m = in.pollMouse();
    EXPECT_FALSE(m.valid);
    EXPECT_EQ(m.wheel, -1);
    EXPECT_EQ(m.buttons, -1);
}

TEST(Cell, PointerToCellTiesToEven) {
    EXPECT_EQ(cellOf(0, 0).col, 0);
    EXPECT_EQ(cellOf(16, 0).col, 2);
    EXPECT_EQ(cellOf(8, 0).col, 2);
    EXPECT_EQ(cellOf(15, 0).col, 2);
    EXPECT_EQ(cellOf(0, 32).row, 2);
    EXPECT_EQ(cellOf(0, 16).row, 2);
    EXPECT_EQ(cellOf(0, 47).row, 3);
    EXPECT_EQ(cellOf(639, 479).col, 80);
    EXPECT_EQ(cellOf(639, 479).row, 30);
}
