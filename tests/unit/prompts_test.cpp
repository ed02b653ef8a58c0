// The prompts' edges a scenario cannot reach exactly; their texts and the way back are the scenarios'.
#include <gtest/gtest.h>

#include "frame/app_state.h"
#include "frame/confirm.h"
#include "frame/dialog.h"
#include "frame/exec_chooser.h"
#include "frame/line_input.h"
#include "frame/outside_program.h"
#include "frame/status_message.h"
#include "rig.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct PromptRig {
    Rig rig;
    App app{rig.screen, ""};

    PromptRig() {
        app.backgroundColour = 2;
        rig.screen.setColors(0, 2);
        rig.screen.clearScreen();
        rig.clock.limitMs = 120 * 1000;  // a prompt that never answers fails instead of hanging
    }
    Script next(std::int64_t delay = 30) { return Script(rig.clock, rig.input, rig.clock.nowMs() + delay); }
    Screen& screen() { return rig.screen; }
    CellRead cell(int row, int col) { return readCell(rig.screen, rig.screen.workPage(), row, col); }
    std::string text(int row, int col, int len) { return readText(rig.screen, rig.screen.workPage(), row, col, len); }
};

}  // namespace

TEST(Dialog, CentredLines) {
    PromptRig p;
    // 40 - 3.5 = 36.5 and 39 - 3.5 = 35.5 both round to the even 36.
    for (const auto& c : {std::array{40, 7, 36}, {39, 7, 36}, {39, 8, 35}, {40, 9, 36}, {39, 9, 34}})
        EXPECT_EQ(centredStart(c[0], c[1]), c[2]) << c[0];
    // Too long to centre: from column 1, cut after 78 characters.
    printCentred(p.screen(), 12, 39, std::string(77, 'a') + "bcd");
    EXPECT_EQ(p.text(12, 1, 80) + p.text(13, 1, 1), std::string(77, 'a') + "b   ");
}

TEST(Confirm, KeysPressesAndTheOptionsToggle) {
    const auto kill = Confirmation::KillFile, killAll = Confirmation::KillAll, pasteAll = Confirmation::PasteAll;
    // A key, or (key 0) a press at x, y with button bit on an edge pixel of a button's label row; O and V pass a Yes/No.
    struct Case { Confirmation which; char key; int x, y, bit; Answer answer; };
    for (const Case c : {Case{kill, 'y', 0, 0, 0, Answer::Yes}, {kill, 'N', 0, 0, 0, Answer::No}, {kill, '\x1b', 0, 0, 0, Answer::No},
                         {pasteAll, '\x1b', 0, 0, 0, Answer::No}, {pasteAll, 'b', 0, 0, 0, Answer::Buffer}, {pasteAll, 'o', 0, 0, 0, Answer::Options},
                         {pasteAll, 0, 227, 455, 0, Answer::Yes}, {pasteAll, 0, 389, 455, 1, Answer::No},
                         {pasteAll, 0, 610, 392, 0, Answer::Options}, {killAll, 0, 508, 455, 1, Answer::Buffer}}) {
        PromptRig p;
        bool byPress = c.key;
        Script s = p.next();
        s.move(100, 100);
        if (c.which == kill) s.key('o').wait(60).key('v').wait(60);
        c.key ? s.key(c.key) : s.click(c.x, c.y, c.bit);
        EXPECT_EQ((std::tuple{confirm(p.app, c.which, &byPress), byPress, p.app.optionsToggle}),
                  std::tuple(c.answer, !c.key, int(c.answer == Answer::Options))) << c.key << c.x;
    }
    // A Yes/No dialog has no Options button, nor is its box's top row Yes: both presses fall to the key after them.
    PromptRig p;
    p.next().click(580, 392).wait(100).click(240, 446).wait(100).key('n');
    const Answer yesNo = confirm(p.app, kill);
    p.app.optionsToggle = 1;  // left over from an earlier dialog
    openFourButtonPanel(p.app);
    EXPECT_EQ(std::pair(yesNo, p.app.optionsToggle), std::pair(Answer::No, 0));
    for (const int toggle : {1, 0}) {  // Options turns the toggle on, then off again
        p.next().key('O');
        EXPECT_EQ((std::pair{confirm(p.app, killAll), p.app.optionsToggle}), std::pair(Answer::Options, toggle));
    }
}

// A press on a label's cells answers (only View reports the mouse); one beside them does nothing: the next key decides.
TEST(ExecChooser, KeysAndLabelCells) {
    const ExecChoice view = ExecChoice::View, run = ExecChoice::Run, cancel = ExecChoice::Cancel;
    // A press (row 0: none), then x, y and the key
    struct Case { int row, col, button; char key; ExecChoice choice; };
    for (const Case c : {Case{0, 0, 0, '\x1b', cancel}, {26, 20, 0, 'r', view}, {26, 30, 1, 'r', view}, {26, 36, 0, 'c', run},
                         {26, 45, 0, 'c', run}, {26, 51, 1, 'r', cancel}, {26, 58, 0, 'r', cancel}, {26, 19, 0, 'r', run},
                         {26, 35, 0, 'c', cancel}, {26, 59, 0, 'r', run}, {27, 22, 0, 'r', run}}) {
        PromptRig p;
        bool byMouse = !c.row;
        Script s = p.next();
        c.row ? s.click(xOfColumn(c.col), yOfRow(c.row), c.button).wait(100) : s.move(10, 10);
        s.key('x').wait(60).key('y').wait(60).key(c.key);
        EXPECT_EQ((std::tuple{chooseExecutable(p.app, "/bin/tool", &byMouse), byMouse, p.screen().keyWaiting()}),
                  std::tuple(c.choice, c.row && c.choice == view, false)) << c.row << "," << c.col;
    }
}

// Esc ends a message early, taking every waiting key; other keys neither end nor outlive it; any key ends the fixed form.
TEST(StatusMessage, WaitRules) {
    struct Case { StatusMessage message; const char* keys; bool queued, early, keyLeft; };
    for (const Case c : {Case{StatusMessage::FilesOnly, "a\x1b" "bc", true, true, false},
                         {StatusMessage::NeedFileStart, "ab", false, false, false},
                         {StatusMessage::PickFileOrDirectory, "q", false, true, true}}) {
        PromptRig p;
        Script s = p.next(300);
        for (const char* k = c.keys; *k; ++k) c.queued ? s.key(*k) : s.key(*k).wait(60);
        const std::int64_t start = p.rig.clock.nowMs();
        showStatus(p.app, c.message);
        const std::int64_t took = p.rig.clock.nowMs() - start;
        EXPECT_EQ(std::tuple(took < 1000, took >= 2000, p.screen().keyWaiting()), std::tuple(c.early, !c.early, c.keyLeft)) << c.keys;
    }
}

// A failure is said in colour 4; one too long for the row keeps its ": reason" when that is short, else the row's last half.
TEST(StatusMessage, ALongFailureKeepsItsReasonElseItsEnd) {
    const std::string path(60, 'p'), x(90, 'x');
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"Paste failed", "cp: cannot stat '" + path + "': Gone", "Paste failed: cp: cannot stat '" + path.substr(0, 35) + "...: Gone"},
        {"Zip failed", x, "Zip failed: " + x.substr(0, 23) + "..." + x.substr(0, 37)},
        {"Kill failed", "rm: " + x, "Kill failed: rm: " + x.substr(0, 18) + "..." + x.substr(0, 37)},
    };
    for (const auto& [what, reason, shown] : cases) {
        PromptRig p;
        std::pair<std::string, int> seen;  // the row and its colour
        p.next(1000).then([&] { seen = {p.text(27, 2, 75), p.cell(27, 2).fg}; });
        showFailure(p.app, what, reason);
        EXPECT_EQ(seen, std::pair(shown, 4));
    }
}

// Rename keeps name characters only, and 20 of them; backspace and Left erase, never past the start; Enter or Yes on
// nothing typed is ignored; No cancels; keys typed while the pointer is outside wait for its return.
TEST(LineInput, RenameTypingAndEnding) {
    const int yes = 240, no = 370, y = yOfRow(29);
    const std::pair<std::function<void(PromptRig&, Script&)>, std::optional<std::string>> cases[] = {
        {[](PromptRig&, Script& s) { s.keys("a b(.-),:;\\/<>?\"'!#$%&|~{}*z9[").ext(scan::Right).wait(60).key(200).key(ch::Tab).wait(60).key(ch::Enter); },
         "ab.-*z9["},
        {[](PromptRig&, Script& s) {
             s.key(ch::Backspace).wait(60).ext(scan::Left).wait(60).key(ch::Enter).wait(60).keys("xy").key(ch::Backspace).wait(60);
             s.key('z').wait(60).ext(scan::Left).wait(60).keys("wabcdefghijklmnopqrstuvwxyz").key(ch::Enter);
         }, "xwabcdefghijklmnopqr"},
        {[&](PromptRig&, Script& s) { s.click(yes, y).wait(200).move(100, 100).keys("n1").click(yes, y).wait(200); }, "n1"},
        {[&](PromptRig&, Script& s) { s.keys("n1").click(no, y).wait(200); }, std::nullopt},
        {[](PromptRig& p, Script& s) {
             s.leave().keys("ab").key(ch::Enter).wait(500).then([&] { EXPECT_TRUE(p.screen().keyWaiting()); }).move(100, 100);
         }, "ab"},
    };
    for (const auto& [script, result] : cases) {
        PromptRig p;
        Script s = p.next();
        s.move(100, 100);
        script(p, s);
        openDialogPanel(p.app);
        const std::optional<std::string> name = lineInput(p.app, LineInputKind::Rename, "old");  // before asking what key is left
        EXPECT_EQ(std::pair(name, p.screen().keyWaiting()), std::pair(result, false)) << result.value_or("(cancelled)");
        if (result == "ab.-*z9[") { EXPECT_EQ(p.text(26, 32, 15) + "|" + p.text(27, 30, 20), "old to ab.-*z9[| New Name > ab.-*z9["); }  // 32.5 -> 32
    }
}

TEST(LineInput, NewDirectoryCancelAreas) {
    const std::tuple<int, int, bool> cases[] = {{1, 72, true}, {1, 80, true}, {29, 60, true}, {29, 62, true}, {1, 71, false}, {29, 63, false}};
    for (const auto& [row, col, cancels] : cases) {
        PromptRig p;
        p.next().move(100, 100).keys("d").click(xOfColumn(col), yOfRow(row)).wait(200).move(100, 100).key(ch::Enter);
        EXPECT_EQ(lineInput(p.app, LineInputKind::NewDirectory, "/srv"), cancels ? std::nullopt : std::optional("d"))
            << row << "," << col;
    }
}

TEST(LineInput, LongEchoesStayOnTheirRow) {
    PromptRig p;
    const std::string longPath = "/" + std::string(90, 'p');
    p.app.selectedPath = longPath;
    p.next().move(100, 100).keys("nd").key(27);
    EXPECT_EQ(lineInput(p.app, LineInputKind::NewDirectory, longPath), std::nullopt);
    EXPECT_TRUE(p.text(3, 1, 78) == std::string(75, 'p') + "/nd" && p.cell(4, 1).ch != 'p' && p.cell(3, 79).ch != 'p');
    // A rename's echo keeps its head instead.
    p.next().move(100, 100).keys("new").key(ch::Enter);
    openDialogPanel(p.app);
    EXPECT_EQ(lineInput(p.app, LineInputKind::Rename, std::string(70, 'o') + "END"), "new");
    EXPECT_EQ(p.text(26, 1, 78), std::string(70, 'o') + "END to n");
}
