// An untouched browser or search field waits for input instead of turning
// its loop, and still shows the clock's every second, the blink and input at once.
#include <gtest/gtest.h>

#include "session.h"
#include "viewers/viewer.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Idle, BrowserAndSearchWaitForInputYetKeepTheClockAndBlink) {
    Session s;
    s.dir.numberedFiles(30);
    s.settings(1, 0, s.dir.path, 1);
    const auto clockText = [&] {
        std::string pixels;
        for (int y = 8; y <= 56; ++y)
            for (int x = 670; x <= 765; ++x) pixels += static_cast<char>(s.screen().pixel(0, x, y));
        return pixels;
    };
    int sleepsBefore = 0;
    std::string clockBefore;
    s.script.move(300, 200).wait(2000).then([&] {
        sleepsBefore = s.rig.clock.sleeps;
        clockBefore = clockText();
    });
    // Four idle seconds with the pointer inside, four outside: a busy 40 ms
    // loop would sleep hundreds of times.
    s.script.wait(4000).then([&] {
        EXPECT_LT(s.rig.clock.sleeps - sleepsBefore, 60);
        EXPECT_NE(clockText(), clockBefore);
        sleepsBefore = s.rig.clock.sleeps;
    });
    s.script.leave().wait(4000).then([&] { EXPECT_LT(s.rig.clock.sleeps - sleepsBefore, 60); });
    s.script.move(300, 200).wait(500);
    int shownAt = -1;
    s.script.ext(scan::Down);
    for (int t = 5; t <= 300; t += 5)
        s.script.wait(5).then([&, t] {
            if (shownAt < 0 && s.row(29).substr(2, 12) == "Found 31 @ 2") shownAt = t;
        });
    s.script.then([&] { EXPECT_TRUE(shownAt >= 0 && shownAt <= 160) << shownAt; });  // as soon as a busy loop
    // Search mode: the underscore still blinks while the loop rests.
    int shown = 0, sleepsInSearch = 0;
    s.script.wait(500).key('?').wait(500).then([&] { sleepsInSearch = s.rig.clock.sleeps; });
    for (int t = 0; t < 3000; t += 10) s.script.wait(10).then([&] { shown += readCell(s.screen(), 0, 32, 68).ch == '_'; });
    s.script.then([&] {
        EXPECT_GE(shown, 40);  // about 100 ms in every 600
        EXPECT_LT(s.rig.clock.sleeps - sleepsInSearch, 100);
    });
    s.script.key(27).wait(2000);
    EXPECT_EQ(s.quit(), 0);
}

TEST(Idle, ViewerWaitsForInputWithThePointerOutside) {
    TempDir dir;
    Rig rig;
    App app{rig.screen, dir.path};
    std::string text;
    for (int i = 1; i <= 200; ++i) text += "line " + std::to_string(i) + "\n";
    app.selectedPath = dir.file("long.txt", text);
    app.savedDirectoryPath = dir.path;
    int sleepsBefore = 0;
    rig.script.move(300, 200).wait(1000).leave().wait(500).then([&] { sleepsBefore = rig.clock.sleeps; });
    rig.script.wait(4000).then([&] { EXPECT_LT(rig.clock.sleeps - sleepsBefore, 40); });
    rig.script.ext(scan::Down).wait(200).then([&] { EXPECT_EQ(readRow(rig.screen, 1).substr(0, 8), "line 29 "); });
    rig.script.key(27);
    EXPECT_EQ(runViewer(app), Next::Reload);
}
