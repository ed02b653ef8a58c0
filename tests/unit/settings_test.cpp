#include <gtest/gtest.h>
#include <tuple>

#include "app/program_dir.h"
#include "app/settings.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Settings, LeadingNumbersRoundHalfToEven) {
    const std::pair<const char*, int> cases[] = {
        {"1 BigSmall", 1}, {"   3 BackGround", 3}, {"2.5", 2}, {"3.5x", 4}, {"0.5", 0}, {"-1.5", -2}, {"1e1 SortList", 10},
        {"BigSmall 1", 0}, {"", 0}, {"-", 0}, {".", 0}, {"99999999999999999999", 0}};
    for (const auto& [text, number] : cases) EXPECT_EQ(leadingNumber(text), number) << text;
}

// BigSmall and BackGround out of range fall back to 0; an unknown sort mode
// is kept (it sorts by name); the path is trimmed.
TEST(Settings, ParseClampsAndDefaults) {
    const std::pair<const char*, std::tuple<int, int, std::string, int>> cases[] = {
        {"1 BigSmall\n3 BackGround\n/tmp\n4 SortList\n", {1, 3, "/tmp", 4}},
        {"\n7 BackGround\n   /usr/share   \n9 SortList", {0, 0, "/usr/share", 9}},
        {"2 BigSmall\n-1 BackGround\r\n", {0, 0, "", 0}}};
    for (const auto& [text, expected] : cases) {
        const Settings s = parseSettings(text);
        EXPECT_EQ(std::tie(s.BigSmall, s.BackGround, s.path, s.SortList), expected) << text;
    }
    const Settings missing = readSettingsFile("/nonexistent/Kestrel.cfg");
    EXPECT_EQ(missing.BigSmall + missing.BackGround, 0);
    EXPECT_EQ(missing.path, "");
}

TEST(Settings, WrittenLinesRoundTrip) {
    EXPECT_EQ(formatSettings(0, 2, "/home/ann/docs", 1), "0 BigSmall\n2 BackGround\n/home/ann/docs\n1 SortList\n");
    // Blanks and shell punctuation are written unchanged.
    const std::string odd = "/tmp/a b;$(x)'\"&";
    const Settings back = parseSettings(formatSettings(1, 3, odd, 4));
    EXPECT_EQ(std::tie(back.BigSmall, back.BackGround, back.path, back.SortList), std::make_tuple(1, 3, odd, 4));
    // A line break would split the path over two lines and shift the sort
    // mode: the nearest ancestor without one is written instead.
    EXPECT_EQ(formatSettings(0, 0, "/tmp/x\ny/z", 3), "0 BigSmall\n0 BackGround\n/tmp\n3 SortList\n");
    EXPECT_EQ(formatSettings(0, 0, "/a\rb", 2), "0 BigSmall\n0 BackGround\n/\n2 SortList\n");
    EXPECT_EQ(parseSettings(formatSettings(0, 1, "/q\nw", 2)).SortList, 2);
}

// The killed-save and leftover checks are in settings_file_test.
TEST(Settings, FileIsReplacedWholeAndAnUnwritablePlaceIsReported) {
    TempDir d;
    EXPECT_TRUE(writeFileAtomically(d.path + "/Kestrel.cfg", "old\n"));
    EXPECT_TRUE(writeFileAtomically(d.path + "/Kestrel.cfg", "new\n"));
    EXPECT_EQ(d.read("Kestrel.cfg"), "new\n");
    EXPECT_FALSE(writeFileAtomically("/nonexistent-dir/Kestrel.cfg", "x"));
    EXPECT_EQ(unwritableDirNote(d.path), std::nullopt);
    EXPECT_EQ(unwritableDirNote(d.path + "/vanished"),
              "kestrel: cannot write to " + d.path + "/vanished: settings (Kestrel.cfg) and reports will not be saved\n");
}
