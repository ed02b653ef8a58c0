// The calculator panel of the expanded view, driven by mouse and keys on a
// headless Kestrel.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "calc/calc_screen.h"
#include "screen/font.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Where a person clicks on each key's label.
const std::map<std::string, Point> kAt = {
    {"6", {656, 199}}, {"7", {680, 199}}, {"8", {704, 199}}, {"9", {728, 199}}, {"-", {752, 199}},
    {"/", {776, 199}}, {"2", {656, 231}}, {"3", {680, 231}}, {"4", {704, 231}}, {"5", {728, 231}},
    {"+", {752, 231}}, {"*", {776, 231}}, {"0", {656, 262}}, {"1", {680, 262}}, {".", {704, 262}},
    {"+-", {728, 262}}, {"%", {752, 262}}, {"=", {776, 262}}, {"M", {656, 136}}, {"R", {680, 136}},
    {"1/x", {707, 136}}, {"root", {740, 136}}, {"x2", {772, 136}}, {"Arc", {664, 168}},
    {"Sin", {703, 168}}, {"Cos", {736, 168}}, {"Tan", {769, 168}}, {"View", {665, 342}},
    {"Clear", {722, 342}}, {"PI", {775, 342}},
};

// The display line: glyphs drawn in colour 7 at y 78, ending at x 786.
std::string readDisplay(const Screen& s) {
    std::string text;
    for (int x0 = 779; x0 >= 640; x0 -= 8) {
        std::array<std::uint8_t, 16> bits{};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x)
                if (s.pixel(0, x0 + x, 78 + y) == 7) bits[y] |= static_cast<std::uint8_t>(0x80u >> x);
        if (bits == std::array<std::uint8_t, 16>{}) break;
        int found = '?';
        for (int c = 126; c >= 32; --c)
            if (kFont8x16[c] == bits) found = c;
        text.insert(text.begin(), static_cast<char>(found));
    }
    return text;
}

std::string recordRow(Session& s, int r) {
    std::string t = readText(s.screen(), 0, r, 82, 18);
    return t.substr(0, t.find_last_not_of(' ') + 1);
}

struct Calc {
    Session s;
    TempDir dir;
    Calc() {
        s.settings(1, 0, dir.path, 1);
        s.script.wait(1000).move(700, 40).wait(300);
    }
    Calc& click(const std::string& key, int holdMs = 100) {
        const Point p = kAt.at(key);
        s.script.click(p.x, p.y, 0, holdMs).wait(200);
        return *this;
    }
    Calc& keys(const char* k) {
        s.script.keys(k).wait(200);
        return *this;
    }
    // Leaves the panel and ends Kestrel.
    int finish() {
        s.script.move(300, 200).wait(500).key(27);
        return s.run();
    }
};

}  // namespace

TEST(Calculator, MouseAndKeysShowResultAndRecord) {
    struct Case {
        const char* name;
        std::function<void(Calc&)> input;
        const char* display;
        std::vector<std::string> rows;  // screen rows 24 onwards
    };
    const Case cases[] = {
        {"clicks 2+3=", [](Calc& c) { c.click("2").click("+").click("3").click("="); }, "5", {"2+3=5"}},
        {"keys 1/3=", [](Calc& c) { c.keys("1/3="); }, ".3333333333333333", {"1/3=", "0.333333333333333"}},
        {"overflow", [](Calc& c) { c.keys("9"); for (int i = 0; i < 10; ++i) c.click("x2"); }, "inf",
         {"x2=3.4336838202925", "x2=1.1790184577738", "x2=1.3900845237714", "x2=1.9323349832288", "x2=inf",
          "x2=inf"}},
        {"1/x and square of 0", [](Calc& c) { c.keys("0"); c.click("1/x").click("x2"); }, "0", {"0"}},
        {"arc sine", [](Calc& c) { c.keys("0.5"); c.click("Arc").click("Sin"); }, "30", {"0.5", "aSin=30"}},
        {"arc cancelled", [](Calc& c) { c.keys("0.5"); c.click("Arc"); c.s.script.click(660, 360).wait(200); },
         ".5", {"0.5"}},
        {"arc zero", [](Calc& c) { c.keys("0.5"); c.click("Arc"); c.s.script.click(720, 360).wait(200); },
         "0", {"0.5"}},
        {"backspace", [](Calc& c) { c.keys("12\b"); }, "1", {"1"}},
        {"PI button", [](Calc& c) { c.click("PI"); }, "3.14159265358979", {"", "3.14159265358979"}},
        {"Clear button", [](Calc& c) { c.keys("7+"); c.click("Clear"); }, "0", {""}},
        {"change sign", [](Calc& c) { c.keys("5"); c.click("+-"); }, "-5", {"5", "-5"}},
        {"recall too long for a row", [](Calc& c) { c.keys("123456789*987654321=M"); c.click("R"); },
         "1.2193263111E+17", {"123456789*9876543", "21=", "1.219326311126353", "", "1.219326311126353e", ""}},
    };
    for (const auto& k : cases) {
        Calc c;
        k.input(c);
        c.s.script.then([&] {
            EXPECT_EQ(readDisplay(c.s.screen()), k.display) << k.name;
            for (size_t i = 0; i < k.rows.size(); ++i) EXPECT_EQ(recordRow(c.s, 24 + static_cast<int>(i)), k.rows[i]) << k.name;
        });
        EXPECT_EQ(c.finish(), 0) << k.name;
    }
}

TEST(Calculator, HeldDigitEntersOnceOnReleaseAndEscEndsTheWait) {
    Calc c;
    auto& script = c.s.script;
    script.move(680, 199).down(0).wait(100).then([&] { EXPECT_EQ(readDisplay(c.s.screen()), "0"); });
    script.wait(100).up(0).wait(200).then([&] { EXPECT_EQ(readDisplay(c.s.screen()), "7"); });
    // Esc during the hold ends the wait: the digit goes in while still held,
    // and the held press is not taken a second time.
    script.move(704, 199).down(0).wait(60).key(27).wait(100).then([&] {
        EXPECT_EQ(readDisplay(c.s.screen()), "78");
        EXPECT_TRUE(c.s.app.calcActive);
    });
    script.wait(100).up(0).wait(300).then([&] { EXPECT_EQ(readDisplay(c.s.screen()), "78"); });
    EXPECT_EQ(c.finish(), 0);
}

TEST(Calculator, MarksFocusFrameAndMemoryBox) {
    Calc c;
    const Screen& scr = c.s.screen();
    c.keys("2").click("+").click("*");
    c.s.script.then([&] {
        EXPECT_EQ(scr.pixel(0, 743, 219), 7) << "+ stays marked";
        EXPECT_EQ(scr.pixel(0, 767, 219), 9) << "* is not marked";
        EXPECT_EQ(recordRow(c.s, 24), "2+");
        EXPECT_EQ(scr.pixel(0, 640, 62), 14);
    });
    c.keys("5M");
    c.s.script.move(300, 200).wait(300).then([&] {
        EXPECT_FALSE(c.s.app.calcActive);
        EXPECT_EQ(scr.pixel(0, 640, 62), 2);
        EXPECT_EQ(scr.pixel(0, 647, 124), 15);
    });
    c.s.script.move(700, 40).wait(300).then([&] {
        EXPECT_TRUE(c.s.app.calcActive);
        EXPECT_EQ(scr.pixel(0, 640, 62), 14);
        EXPECT_EQ(scr.pixel(0, 647, 124), 15) << "the M box stays on a new entry";
        EXPECT_EQ(scr.pixel(0, 743, 219), 7) << "the pending operator is marked again";
    });
    EXPECT_EQ(c.finish(), 0);
}

TEST(Calculator, SixLastLinesShownAndViewWritesThemAll) {
    Calc c;
    c.keys("1=2=3=4=5=6=7=8=").keys("v");
    c.s.script.wait(1000).then([&] {
        const std::vector<std::string> shown = {"4=1234", "5=12345", "6=123456", "7=1234567", "8=12345678", ""};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(recordRow(c.s, 24 + i), shown[static_cast<size_t>(i)]);
    });
    const int status = c.finish();
    EXPECT_EQ(status, 0);
    const std::string file = c.s.programDir.path + "/CalcBuffer.txt";
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1=1\n2=12\n3=123\n4=1234\n5=12345\n6=123456\n7=1234567\n8=12345678\n");
    ASSERT_EQ(c.s.runner.shellLines.size(), 1u);
    EXPECT_EQ(c.s.runner.shellLines[0], "/usr/local/bin/defaulttexteditor " + file);
}

TEST(Calculator, ErrorNoticeShowsForTwoSeconds) {
    Calc c;
    const Screen& scr = c.s.screen();
    auto errorShown = [&] { return scr.pixel(0, 748 + 1, 303 + 4) == 4; };
    c.s.script.keys("5/0=").wait(300).then([&] { EXPECT_TRUE(errorShown()); });
    c.s.script.wait(2500).then([&] {
        EXPECT_FALSE(errorShown());
        EXPECT_EQ(readDisplay(scr), "5");
        EXPECT_EQ(c.s.app.calc.pendingOp, '/');
    });
    EXPECT_EQ(c.finish(), 0);
}

TEST(Calculator, PanelFollowsViewAndActiveScreen) {
    Rig rig(800, 600);
    RecordingRunner runner;
    TempDir dir;
    App app(rig.screen, dir.path, runner);
    app.BigSmall = 0;
    runCalculator(app);
    EXPECT_FALSE(app.calcActive);
    EXPECT_EQ(rig.screen.pixel(0, 640, 62), 0) << "nothing drawn in the normal view";
    app.BigSmall = 1;
    app.activeScreen = 2;
    drawCalculatorPanel(app);
    EXPECT_EQ(readText(rig.screen, 0, 31, 3, 28), "Mouse button to select item.");
    EXPECT_EQ(readText(rig.screen, 0, 33, 83, 5), "     ");
    app.activeScreen = 1;
    drawCalculatorPanel(app);
    EXPECT_EQ(readText(rig.screen, 0, 31, 3, 10), "Mouse whee");
    EXPECT_EQ(readText(rig.screen, 0, 33, 83, 5), "Clear");
    EXPECT_EQ(rig.screen.pixel(0, 640, 62), 2);
}
