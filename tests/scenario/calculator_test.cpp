// The calculator panel of the expanded view, driven by mouse and keys.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "screen/font.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Where a person clicks on each key's label.
const std::map<std::string, Point> kAt = {
    {"2", {656, 231}}, {"3", {680, 231}},  {"+", {752, 231}},  {"*", {776, 231}},   {"+-", {728, 262}},
    {"=", {776, 262}}, {"R", {680, 136}},  {"1/x", {707, 136}}, {"x2", {772, 136}}, {"Arc", {664, 168}},
    {"Sin", {703, 168}}, {"Clear", {722, 342}}};

// The display line: glyphs drawn in colour 7 at y 78, ending at x 786.
std::string readDisplay(const Screen& s) {
    std::string text;
    for (int x0 = 779; x0 >= 640; x0 -= 8) {
        std::array<std::uint8_t, 16> bits{};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x)
                if (s.pixel(0, x0 + x, 78 + y) == 7) bits[y] |= static_cast<std::uint8_t>(0x80u >> x);
        if (bits == std::array<std::uint8_t, 16>{}) break;
        const auto glyph = std::find(kFont8x16.begin() + 32, kFont8x16.begin() + 127, bits);
        text.insert(text.begin(), static_cast<char>(glyph == kFont8x16.begin() + 127 ? '?' : glyph - kFont8x16.begin()));
    }
    return text;
}

struct Calc : Session {
    Calc() {
        settings(1, 0, dir.path, 1);
        script.wait(1000).move(700, 40).wait(300);
    }
    Calc& click(const std::string& key) {
        script.click(kAt.at(key).x, kAt.at(key).y).wait(200);
        return *this;
    }
    Calc& type(const char* k) {
        script.keys(k).wait(200);
        return *this;
    }
    std::string display() { return readDisplay(screen()); }
    // Screen rows 24 onwards of the record, trailing blanks cut.
    std::vector<std::string> records(int n) {
        std::vector<std::string> out;
        for (int r = 24; r < 24 + n; ++r) {
            const std::string t = readText(screen(), 0, r, 82, 18);
            out.push_back(t.substr(0, t.find_last_not_of(' ') + 1));
        }
        return out;
    }
    // Leaves the panel, which a pointer over it would open again, and ends Kestrel.
    int finish() {
        script.move(300, 200).wait(500);
        return quit();
    }
};

}  // namespace

TEST(Calculator, MouseAndKeysShowResultAndRecord) {
    // name, input, display, screen rows 24 onwards
    const std::tuple<const char*, std::function<void(Calc&)>, std::string, std::vector<std::string>> cases[] = {
        {"clicks 2+3=", [](Calc& c) { c.click("2").click("+").click("3").click("="); }, "5", {"2+3=5"}},
        {"Esc while a key is held", [](Calc& c) { c.script.move(656, 231).down(0).wait(300).key(27).wait(300).up(0).wait(200); }, "2", {"2"}},
        {"1/x and square of 0", [](Calc& c) { c.type("0").click("1/x").click("x2"); }, "0", {"0"}},
        {"arc sine", [](Calc& c) { c.type("0.5").click("Arc").click("Sin"); }, "30", {"0.5", "aSin=30"}},
        {"arc cancelled", [](Calc& c) { c.type("0.5").click("Arc").script.click(660, 360).wait(200); }, ".5", {"0.5"}},
        {"arc zero", [](Calc& c) { c.type("0.5").click("Arc").script.click(720, 360).wait(200); }, "0", {"0.5"}},
        {"Clear button", [](Calc& c) { c.type("7+").click("Clear"); }, "0", {""}},
        {"change sign", [](Calc& c) { c.type("5").click("+-"); }, "-5", {"5", "-5"}},
        {"backspace on overflow", [](Calc& c) { c.type("9"); for (int i = 0; i < 9; ++i) c.click("x2"); c.type("\b"); }, "0",
         {"x2=185302018885184", "x2=3.4336838202925", "x2=1.1790184577738", "x2=1.3900845237714", "x2=1.9323349832288", "x2="}},
        {"record rolls over after P", [](Calc& c) { c.type(("1/3" + std::string(499, '=') + "P").c_str()); }, "3.14159265358979", {"", ""}},
        {"recall too long for a row", [](Calc& c) { c.type("123456789*987654321=M").click("R"); }, "1.2193263111E+17",
         {"123456789*9876543", "21=", "1.219326311126353", "", "1.219326311126353e", ""}},
    };
    for (const auto& [name, input, display, rows] : cases) {
        SCOPED_TRACE(name);
        Calc c;
        input(c);
        c.script.then([&] { EXPECT_EQ(std::pair(c.display(), c.records(static_cast<int>(rows.size()))), std::pair(display, rows)); });
        EXPECT_EQ(c.finish(), 0);
    }
}

// The record's six last lines, View writing them all; an error for two seconds; the marks, focus frame and memory box.
TEST(Calculator, SixLastLinesViewErrorsMarksFocusFrameAndMemoryBox) {
    Calc c;
    const auto errorShown = [&] { return c.screen().pixel(0, 749, 307) == 4; };
    std::string shownWhileEditing;  // what the window shows at row 27 while the editor runs
    c.runner.onShell = [&](const std::string&) {
        if (c.rig.presenter.shown() == c.screen().page(0)) shownWhileEditing = readText(c.screen(), 0, 27, 50, 29);
        return 0;
    };
    c.type("1=2=3=4=5=6=7=8=").type("v").script.wait(1000).then([&] {
        EXPECT_EQ(c.records(6), (std::vector<std::string>{"4=1234", "5=12345", "6=123456", "7=1234567", "8=12345678", ""}));
        EXPECT_TRUE(c.rig.presenter.pointerVisible);  // shown again after the editor
    });
    c.script.keys("5/0=").wait(300).then([&] { EXPECT_TRUE(errorShown()); }).wait(2500).then([&] { EXPECT_FALSE(errorShown()); });
    // After C: + stays marked, * not; the focus frame; the M box stays on a new entry, the pending operator marked again.
    const auto at = [&](int x, int y) { return c.screen().pixel(0, x, y); };
    c.type("C2").click("+").click("*");
    c.script.then([&] { EXPECT_EQ(std::tuple(at(743, 219), at(767, 219), c.records(1)[0], at(640, 62)), std::tuple(7, 9, "2+", 14)); });
    c.type("5M").script.move(300, 200).wait(300).then([&] {
        EXPECT_EQ(std::tuple(c.app.calcPanel.active, at(640, 62), at(647, 124)), std::tuple(false, 2, 15));
    });
    c.script.move(700, 40).wait(300).move(640, 470).wait(300).then([&] {  // x 640 and y 470 are still the panel's
        EXPECT_EQ(std::tuple(c.app.calcPanel.active, at(640, 62), at(647, 124), at(743, 219)), std::tuple(true, 14, 15, 7));
    });
    EXPECT_EQ(c.finish(), 0);
    EXPECT_EQ(shownWhileEditing, "Waiting for program to close.");
    EXPECT_EQ(c.programDir.read("CalcBuffer.txt"), "1=1\n2=12\n3=123\n4=1234\n5=12345\n6=123456\n7=1234567\n8=12345678\n");
    EXPECT_EQ(c.runner.shellLines,
              std::vector<std::string>{"/usr/local/bin/defaulttexteditor " + c.programDir.path + "/CalcBuffer.txt"});
}
