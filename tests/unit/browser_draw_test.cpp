// The expanded view's clock: 12-hour time, month-day-year date, the weekday centred.
#include <gtest/gtest.h>

#include "rig.h"
#include "frame/browser_draw.h"

using namespace kestrel;
using namespace kestrel::test;

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
