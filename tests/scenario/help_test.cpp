// The help page: opened with F1 or the Help button, closed with Esc, B, b or a press inside BACK.
#include <gtest/gtest.h>

#include <functional>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

bool helpShown(Session& s) { return s.screen().width() == 640 && s.row(2).substr(4, 23) == "Kestrel Ver. 1.1 - Help"; }

}  // namespace

// Opened over the expanded view; the browser comes back in its own view and the closing key does not reach it.
TEST(Help, ClosesOnEscBAndPressesStrictlyInsideBack) {
    const std::pair<const char*, std::function<void(Script&)>> closers[] = {  // '-': does not close
        {"Esc", [](Script& sc) { sc.key(27); }},
        {"B", [](Script& sc) { sc.key('B'); }},
        {"b", [](Script& sc) { sc.key('b'); }},
        {"left inside", [](Script& sc) { sc.click(570, 443); }},
        {"right inside", [](Script& sc) { sc.click(627, 465, 1); }},
        {"-outline x 569", [](Script& sc) { sc.click(569, 450); }},
        {"-outline y 466", [](Script& sc) { sc.click(600, 466, 1); }},
        {"-middle inside", [](Script& sc) { sc.click(600, 450, 2); }},
        {"-other key", [](Script& sc) { sc.key('x'); }},
    };
    for (const auto& [name, input] : closers) {
        SCOPED_TRACE(name);
        const bool closes = name[0] != '-';
        Session s;
        s.settings(1, 2, s.dir.path, 1);
        s.script.wait(1000).ext(scan::F1).wait(800).then([&] { ASSERT_TRUE(helpShown(s)); });
        input(s.script);
        bool checked = false;
        s.script.wait(900).then([&] {
            checked = true;
            EXPECT_EQ(std::tuple(helpShown(s), s.screen().width(), s.row(1).substr(27, 24) == "Select Directory or File"), std::tuple(!closes, closes ? 800 : 640, closes));
        });
        if (!closes) s.script.key(27).wait(900);
        const std::int64_t lastEsc = s.script.time();
        EXPECT_EQ(s.quit(), 0);
        EXPECT_TRUE(checked && s.rig.clock.nowMs() >= lastEsc);
    }
}

// The page in the normal view on the browser's background, BACK outlined, the window kept where the
// pad put it; the browser is set up afresh after it.
TEST(Help, HelpButtonOpensThePageAndBrowserComesBack) {
    Session s;
    s.dir.file("a.txt");
    s.settings(0, 2, s.dir.path, 1);
    Point placed;
    s.script.wait(1000).click(629, 464).wait(400).then([&] { placed = s.rig.presenter.position; });
    s.script.ext(scan::Down).wait(300).click(588, 392).wait(800).then([&] {  // "Help", row 25
        ASSERT_TRUE(helpShown(s));
        EXPECT_EQ(s.rig.presenter.position, placed);
        EXPECT_EQ((std::vector{s.cell(2, 5), s.cell(5, 5), s.cell(29, 74)}), (std::vector<CellRead>{{'K', 1, 13}, {'U', 0, 13}, {'B', 1, 13}}));
        EXPECT_EQ(s.row(17).substr(4, 69), "Depending on how permissions are set, some features my be restricted.");
        for (const auto [x, y, colour] : {std::array{569, 450, 0}, {2, 100, 1}, {1, 100, 3}, {639, 479, 3}})
            EXPECT_EQ(s.screen().pixel(0, x, y), colour) << x << "," << y;
    });
    s.script.key('b').wait(900).then([&] { EXPECT_EQ(std::tuple(s.listName(2), s.app.cursorIndex, s.rig.presenter.position), std::tuple("a.txt", 1, placed)); });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.app.placement, Placement::BottomRight);
}
