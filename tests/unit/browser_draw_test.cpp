// The browser's drawing rules that a person checks by eye: where the path
// starts, where the thumb sits, the clock.
#include <gtest/gtest.h>


#include "rig.h"
#include "frame/browser_draw.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

int thumbRow(const Screen& s) {
    for (int r = 7; r <= 21; ++r)
        if (readCell(s, 0, r, 80).ch == '=') return r;
    return 0;
}

}  // namespace

// 77 characters start in column 2; 79 in column 1, cut to 77; 10 in column 35; UTF-8 by cells.
TEST(BrowserDraw, PathLineIsCentredAndCut) {
    Rig rig;
    App app{rig.screen, "/tmp"};
    const std::tuple<std::string, int, std::string> cases[] = {
        {"/" + std::string(76, 'p'), 2, "/pp"}, {"/" + std::string(77, 'q') + "Z", 1, "/qqq"},
        {"/" + std::string(77, 'q') + "Z", 77, "q "}, {"/home/ann1", 34, " /home/ann1"},
        // Measured and cut in cells: é is one cell; a wide character that would pass cell 77 is left out.
        {"/caf\xC3\xA9", 37, " /caf\x82 "}, {"/" + std::string(75, 'p') + "\xE4\xB8\xAD", 76, "p  "}};
    for (const auto& [path, col, shows] : cases) {
        app.selectedPath = path;
        drawPathLine(app);
        EXPECT_EQ(readText(rig.screen, 0, 3, col, int(shows.size())), shows) << path;
    }
}

// Entry 1 of 1, 50 of 100 (6 + 7.5 rounds to the even 14), 2 (t clamps at 1); the last: the browser scenarios.
TEST(BrowserDraw, ScrollBarThumb) {
    Rig rig;
    App app{rig.screen, "/tmp"};
    for (const auto& [count, index, row] : {std::tuple{1, 1, 7}, {100, 50, 14}, {100, 2, 7}}) {
        app.list.count = count;
        app.cursorIndex = index;
        drawStatusAndScrollBar(app);
        EXPECT_EQ(std::pair(thumbRow(rig.screen), readCell(rig.screen, 0, row, 80)), std::pair(row, CellRead{'=', 0, 3})) << index;
    }
}

TEST(BrowserDraw, ClockShowsTimeDateAndWeekday) {
    setenv("TZ", "UTC", 1);
    tzset();
    Rig rig(800, 600), reference(800, 600);
    App app{rig.screen, "/tmp"};
    app.BigSmall = 1;
    // 2023-11-15 was a Wednesday; 2023-11-17 a Friday.
    for (const auto& [when, time, date, day, dayX] : {std::tuple{1700006407, "12:00:07 AM", "11-15-2023", "Wednesday", 679},
                                                      {1700222400, "12:00:00 PM", "11-17-2023", "Friday", 691}}) {
        rig.clock.wallBase = when - rig.clock.nowMs() / 1000;
        drawClock(app);
        reference.screen.fillBox(670, 8, 765, 56, app.backgroundColour);
        reference.screen.setColors(0, app.backgroundColour);
        for (const auto& [x, y, text] : {std::tuple{670, 12, time}, {675, 26, date}, {dayX, 40, day}}) reference.screen.drawString(x, y, text);
        ASSERT_TRUE(rig.screen.page(0) == reference.screen.page(0)) << day;
    }
    unsetenv("TZ");
    tzset();
}
