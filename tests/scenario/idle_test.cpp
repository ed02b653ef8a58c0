// Untouched, the browser, search field and viewer wait for input, yet show the clock, the blink and input at once.
#include <gtest/gtest.h>

#include "session.h"
#include "viewers/viewer.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Idle, BrowserSearchAndViewerWaitForInput) {
    Session s;
    s.dir.numberedFiles(30);
    s.settings(1, 0, s.dir.path, 1);
    int mark = 0, shownAt = -1, blinks = 0;
    std::vector<std::uint8_t> clock;
    // A busy 40 ms loop sleeps about a hundred times in four seconds.
    const auto sleepsSince = [&] { return s.rig.clock.sleeps - std::exchange(mark, s.rig.clock.sleeps); };
    const auto clockPixels = [&] { return std::vector<std::uint8_t>(&s.screen().page(0)[8 * 800], &s.screen().page(0)[57 * 800]); };
    s.script.move(300, 200).wait(2000).then([&] { sleepsSince(), clock = clockPixels(); });
    s.script.wait(4000).then([&] {
        EXPECT_LT(sleepsSince(), 60);
        EXPECT_NE(clockPixels(), clock);
    });
    s.script.leave().wait(4000).then([&] { EXPECT_LT(sleepsSince(), 60); }).move(300, 200).wait(500).ext(scan::Down);
    for (int t = 5; t <= 160; t += 5)  // as soon as a busy loop showed it
        s.script.wait(5).then([&, t] { shownAt = shownAt < 0 && s.row(29).substr(2, 12) == "Found 31 @ 2" ? t : shownAt; });
    s.script.then([&] { EXPECT_GE(shownAt, 0); });
    s.script.wait(500).key('?').wait(500).leave().then([&] { sleepsSince(); });  // the pointer gone as well
    for (int t = 0; t < 3000; t += 10) s.script.wait(10).then([&] { blinks += readCell(s.screen(), 0, 32, 68).ch == '_'; });
    s.script.then([&] {
        EXPECT_GE(blinks, 40);  // about 100 ms in every 600
        EXPECT_LT(sleepsSince(), 100);
    });
    s.script.key(27).wait(2000);
    EXPECT_EQ(s.quit(), 0);

    Rig rig;
    App viewer{rig.screen, s.dir.path};
    viewer.selectedPath = s.dir.file("long.txt", std::string(2240, 'x') + "page two");
    rig.script.move(300, 200).wait(1000).leave().wait(500).then([&] { mark = rig.clock.sleeps; });
    rig.script.wait(4000).then([&] { EXPECT_LT(rig.clock.sleeps - mark, 40); }).ext(scan::Down).wait(200);
    rig.script.then([&] { EXPECT_EQ(readRow(rig.screen, 1).substr(0, 8), "page two"); }).key(27);
    EXPECT_EQ(runViewer(viewer), Next::Reload);
}
