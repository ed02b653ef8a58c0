// The browser's drawing rules that a person checks by eye: where the path
// starts, where the thumb sits, which rows are coloured as picked, the clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/cursor_moves.h"
#include "rig.h"
#include "app/browser_draw.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct DrawFixture {
    Rig rig;
    App app{rig.screen, "/tmp"};

    DrawFixture() {
        app.list.clear();
        app.list.count = 0;
        addRow("..");
    }
    void addRow(const std::string& name) {
        std::string row = name;
        row.resize(78, ' ');
        app.list.count += 1;
        app.list.setRow(app.list.count, row);
        app.list.setName(app.list.count, name);
        app.lastIndex = app.list.count;
    }
    int thumbRow() {
        for (int r = 7; r <= 21; ++r)
            if (readCell(rig.screen, 0, r, 80).ch == '=') return r;
        return 0;
    }
};

}  // namespace

TEST(BrowserDraw, PathLineIsCentredAndCut) {
    DrawFixture f;
    f.app.selectedPath = "/" + std::string(76, 'p');  // 77 characters
    drawPathLine(f.app);
    EXPECT_EQ(readCell(f.rig.screen, 0, 3, 2).ch, '/');
    f.app.selectedPath = "/" + std::string(77, 'q') + "Z";  // 79 characters
    drawPathLine(f.app);
    EXPECT_EQ(readCell(f.rig.screen, 0, 3, 1).ch, '/');
    EXPECT_EQ(readText(f.rig.screen, 0, 3, 77, 2), "q ");  // only 77 characters shown
    f.app.selectedPath = "/home/ann1";  // 10 characters start at column 35
    drawPathLine(f.app);
    EXPECT_EQ(readText(f.rig.screen, 0, 3, 34, 11), " /home/ann1");
    EXPECT_EQ(centredColumn(40, 7), 36);
    EXPECT_EQ(centredColumn(39, 7), 36);  // 35.5 rounds to the even 36
    EXPECT_EQ(centredColumn(40, 5), 38);  // 37.5 rounds to the even 38
}

TEST(BrowserDraw, ScrollBarThumb) {
    DrawFixture f;
    f.app.cursorIndex = 1;
    drawStatusAndScrollBar(f.app);
    EXPECT_EQ(f.thumbRow(), 7);
    EXPECT_EQ(readText(f.rig.screen, 0, 29, 3, 16), "Found 1 @ 1     ");
    for (int i = 0; i < 99; ++i) f.addRow("f" + std::to_string(i));
    f.app.cursorIndex = 50;
    drawStatusAndScrollBar(f.app);
    EXPECT_EQ(f.thumbRow(), 14);  // 6 + 7.5 rounds to the even 14
    EXPECT_EQ(readCell(f.rig.screen, 0, 14, 80), (CellRead{'=', 0, 3}));
    f.app.cursorIndex = 2;
    drawStatusAndScrollBar(f.app);
    EXPECT_EQ(f.thumbRow(), 7);  // t clamps at 1
    f.app.cursorIndex = 100;
    drawStatusAndScrollBar(f.app);
    EXPECT_EQ(f.thumbRow(), 21);
}

TEST(BrowserDraw, PickedRowsKeepTheirColoursUnderTheCursor) {
    DrawFixture f;
    f.addRow("one");
    f.addRow("two");
    f.addRow("name\nwith\tcontrols\x07");
    f.app.buffer.add(f.app.list.row(3), "/two");
    moveHome(f.app);
    EXPECT_EQ(readCell(f.rig.screen, 0, 7, 2), (CellRead{'t', 15, 3}));
    EXPECT_EQ(readCell(f.rig.screen, 0, 6, 2), (CellRead{'o', 0, 2}));
    moveDown(f.app);
    moveDown(f.app);
    EXPECT_EQ(readCell(f.rig.screen, 0, 7, 2), (CellRead{'t', 5, 9}));
    moveDown(f.app);
    EXPECT_EQ(readCell(f.rig.screen, 0, 7, 2), (CellRead{'t', 15, 3}));
    // Control bytes in a name are drawn as glyphs, in place.
    EXPECT_EQ(readText(f.rig.screen, 0, 8, 2, 4), "name");
    EXPECT_EQ(readText(f.rig.screen, 0, 8, 7, 4), "with");
    EXPECT_EQ(readText(f.rig.screen, 0, 8, 12, 8), "controls");
    EXPECT_EQ(readCell(f.rig.screen, 0, 9, 2).ch, ' ');
}

TEST(BrowserDraw, ClockShowsTimeDateAndWeekday) {
    setenv("TZ", "UTC", 1);
    tzset();
    Rig rig(800, 600);
    App app{rig.screen, "/tmp"};
    app.BigSmall = 1;
    // 2023-11-15 was a Wednesday; 2023-11-17 a Friday.
    auto expect = [&](std::time_t when, const char* time, const char* date, const char* day, int dayX) {
        rig.clock.wallBase = when;
        drawClock(app);
        Rig reference(800, 600);
        reference.screen.fillBox(670, 8, 765, 56, app.backgroundColour);
        reference.screen.setColors(0, app.backgroundColour);
        reference.screen.drawString(670, 12, time);
        reference.screen.drawString(675, 26, date);
        reference.screen.drawString(dayX, 40, day);
        for (int y = 8; y <= 56; ++y)
            for (int x = 670; x <= 765; ++x)
                ASSERT_EQ(rig.screen.pixel(0, x, y), reference.screen.pixel(0, x, y)) << x << "," << y << " " << day;
    };
    const std::int64_t slept = rig.clock.nowMs() / 1000;
    expect(1700006407 - slept, "12:00:07 AM", "11-15-2023", "Wednesday", 679);
    expect(1700222400 - rig.clock.nowMs() / 1000, "12:00:00 PM", "11-17-2023", "Friday", 691);
    unsetenv("TZ");
    tzset();
}
