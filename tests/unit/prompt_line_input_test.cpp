// The name prompts: what can be typed, how much, the echo, the blinking
// underscore, and what ends them.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "app/dialog.h"
#include "app/line_input.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::optional<std::string> rename(PromptRig& p) {
    openDialogPanel(p.app);
    return lineInput(p.app, LineInputKind::Rename, "old");
}

}  // namespace

TEST(LineInput, KeepsOnlyNameCharactersAndEchoesThem) {
    PromptRig p;
    Script s = p.next();
    s.move(100, 100).keys("a b(.-)").keys(",:;\\/<>?\"'!#$%&|~{}").keys("*z9[");
    s.ext(scan::Right).wait(60).key(200).wait(60).key(ch::Tab).wait(60).key(ch::Enter);
    EXPECT_EQ(rename(p), "ab.-*z9[");
    EXPECT_FALSE(p.screen().keyWaiting());
    // "old to ab.-*z9[" (15 characters) centred on 40 from 32.5 -> 32.
    EXPECT_EQ(p.text(26, 32, 15) + "|" + p.text(27, 30, 20), "old to ab.-*z9[| New Name > ab.-*z9[");
    EXPECT_EQ(p.cell(26, 32), (CellRead{'o', 0, 15}));
    EXPECT_EQ(p.cell(27, 31), (CellRead{'N', 1, 15}));
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(acceptsNameCharacter(c), c >= 42 && c <= 122 && !std::strchr(",:;\\/<>?", c)) << c;
}

// Rename keeps 20 characters (a new directory's 26 are pinned by its
// scenario); backspace and Left erase, never past the start, and Enter on
// nothing typed is ignored.
TEST(LineInput, LengthsAndErasing) {
    PromptRig p;
    p.next().move(100, 100).keys("abcdefghijklmnopqrstuvwxyz").key(ch::Enter);
    EXPECT_EQ(rename(p), "abcdefghijklmnopqrst");
    Script s = p.next();
    s.key(ch::Backspace).wait(60).ext(scan::Left).wait(60).key(ch::Enter).wait(60);
    s.keys("xy").key(ch::Backspace).wait(60).key('z').wait(60).ext(scan::Left).wait(60).key('w').wait(60).key(ch::Enter);
    EXPECT_EQ(rename(p), "xw");

}

// Yes with nothing typed is ignored; then Yes accepts, No and Esc cancel,
// and a press at the box's top edge lies on row 28, not on Yes's row.
TEST(LineInput, RenameEndsOnYesNoAndEsc) {
    const int yesX = 240, noX = 370, buttonY = yOfRow(29);
    const std::tuple<int, int, bool, std::optional<std::string>> cases[] = {
        {yesX, buttonY, false, "n1"}, {noX, buttonY, false, std::nullopt}, {0, 0, true, std::nullopt},
        {yesX, 446, true, std::nullopt}};
    for (const auto& [x, y, esc, result] : cases) {
        PromptRig p;
        Script s = p.next();
        s.click(yesX, buttonY).wait(200).move(100, 100).keys("n1");
        if (x) s.click(x, y).wait(200).move(100, 100);
        if (esc) s.key(27);
        EXPECT_EQ(rename(p), result) << x << "," << y;
    }
}

TEST(LineInput, NewDirectoryCancelAreas) {
    const std::tuple<int, int, bool> cases[] = {{1, 72, true},   {1, 80, true},   {29, 60, true},  {29, 62, true}, {1, 71, false},
                                                {29, 63, false}, {29, 59, false}, {28, 61, false}, {2, 75, false}};
    for (const auto& [row, col, cancels] : cases) {
        PromptRig p;
        p.next().move(100, 100).keys("d").click(xOfColumn(col), yOfRow(row)).wait(200).move(100, 100).key(ch::Enter);
        EXPECT_EQ(lineInput(p.app, LineInputKind::NewDirectory, "/srv"), cancels ? std::nullopt : std::optional("d"))
            << row << "," << col;
    }
}

TEST(LineInput, KeysWaitWhileThePointerIsOutside) {
    PromptRig p;
    std::int64_t back = 0;
    Script s = p.next();
    s.leave().keys("ab").key(ch::Enter).wait(500).then([&] {
        EXPECT_TRUE(p.screen().keyWaiting());
        back = p.rig.clock.nowMs();
    });
    s.move(100, 100);
    EXPECT_EQ(rename(p), "ab");
    EXPECT_GT(back, 0);
}

TEST(LineInput, LongEchoesStayOnTheirRow) {
    PromptRig p;
    const std::string longPath = "/" + std::string(90, 'p');
    p.app.selectedPath = longPath;
    p.next().move(100, 100).keys("nd").key(27);
    EXPECT_EQ(lineInput(p.app, LineInputKind::NewDirectory, longPath), std::nullopt);
    EXPECT_EQ(p.text(3, 1, 78), std::string(75, 'p') + "/nd");
    EXPECT_NE(p.cell(4, 1).ch, 'p');
    EXPECT_NE(p.cell(3, 79).ch, 'p');
    // A rename's echo keeps its head instead.
    p.next().move(100, 100).keys("new").key(ch::Enter);
    openDialogPanel(p.app);
    EXPECT_EQ(lineInput(p.app, LineInputKind::Rename, std::string(70, 'o') + "END"), "new");
    EXPECT_EQ(p.text(26, 1, 78), std::string(70, 'o') + "END to n");
}
