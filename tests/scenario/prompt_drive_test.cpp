// The drive prompt as a person meets it: ">" in the browser, the blinking
// prompt on the status row, and the two ways out, each reloading the list.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// What the status row shows from column 2: the prompt (either blink phase)
// or the browser's "Found" count.
std::string statusRow(Session& s) { return s.row(29).substr(1, 9); }

}  // namespace

TEST(DrivePrompt, OpensOnGreaterThanAndLeavesOnEscOrTheCloseBox) {
    Session s;
    TempDir& d = s.dir;
    d.file("first.txt");
    s.settings(0, 0, d.path, 1);
    int checks = 0;
    std::vector<std::string> seen;

    s.script.wait(1000).move(300, 200).key('>');
    for (int t = 0; t < 1000; t += 25) s.script.wait(25).then([&] { seen.push_back(s.row(29).substr(1, 10)); });
    s.script.then([&] {
        // Both phases of the blink were on the row, in the browser's colours.
        EXPECT_NE(std::find(seen.begin(), seen.end(), " Drive > _"), seen.end());
        EXPECT_NE(std::find(seen.begin(), seen.end(), " Drive >  "), seen.end());
        EXPECT_EQ(s.cell(29, 3), (CellRead{'D', 0, 2}));
        d.file("second.txt");  // appears only once the listing is read again
        ++checks;
    });
    // Keys other than Esc do nothing (H would otherwise go to /root, N
    // sort), nor do presses beside the close box.
    s.script.keys("HN?").click(71 * 8 - 4, 8).wait(300).click(75 * 8 - 4, 24).wait(300).click(300, 200, 1);
    s.script.wait(300).then([&] {
        EXPECT_EQ(statusRow(s).substr(0, 8), " Drive >");
        EXPECT_EQ(s.listName(3), "");
        ++checks;
    });
    s.script.key(27).wait(800).then([&] {
        EXPECT_EQ(s.app.selectedPath, d.path);
        EXPECT_EQ(s.listName(3), "second.txt");
        EXPECT_EQ(statusRow(s), " Found 3 ");
        ++checks;
    });

    // The top bar's " X " closes the prompt only: Kestrel keeps running.
    s.script.key('>').wait(300).then([&] {
        EXPECT_EQ(statusRow(s).substr(0, 8), " Drive >");
        d.file("third.txt");
        ++checks;
    });
    s.script.click(79 * 8 - 4, 8).wait(600).move(300, 200).wait(400).then([&] {
        EXPECT_EQ(s.listName(4), "third.txt");
        EXPECT_EQ(statusRow(s), " Found 4 ");
        ++checks;
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(checks, 5);
}
