// The executable chooser's keys and label cells (its panel is pinned by the
// open-from-browser scenario).
#include <gtest/gtest.h>

#include "app/exec_chooser.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

// Keys in either case answer, others are passed over; presses on a label's
// cells answer (only View reports the mouse); presses beside them, or on
// another row, do nothing and the key that follows decides.
TEST(ExecChooser, KeysAndLabelCells) {
    const ExecChoice view = ExecChoice::View, run = ExecChoice::Run, cancel = ExecChoice::Cancel;
    for (const auto& [key, choice] : {std::pair{'v', view}, {'V', view}, {'r', run}, {'R', run}, {'c', cancel}, {'\x1b', cancel}}) {
        PromptRig p;
        bool byMouse = true;
        p.next().move(10, 10).key('x').key('y').key(key);
        EXPECT_EQ(chooseExecutable(p.app, "/bin/tool", &byMouse), choice) << key;
        EXPECT_FALSE(byMouse);
        EXPECT_FALSE(p.screen().keyWaiting());
    }
    struct Case {
        int row, col, button;
        ExecChoice choice;
    };
    for (const Case c : {Case{26, 20, 0, view}, {26, 30, 1, view}, {26, 36, 0, run}, {26, 45, 0, run}, {26, 51, 1, cancel},
                         {26, 58, 0, cancel}, {26, 19, 0, run}, {26, 31, 0, run}, {26, 35, 0, run}, {26, 46, 0, run},
                         {26, 50, 0, run}, {26, 59, 0, run}, {25, 22, 0, run}, {27, 22, 0, run}, {25, 52, 0, run}}) {
        PromptRig p;
        bool byMouse = false;
        p.next().click(xOfColumn(c.col), yOfRow(c.row), c.button).wait(100).key('r');
        EXPECT_EQ(chooseExecutable(p.app, "/bin/tool", &byMouse), c.choice) << c.row << "," << c.col;
        EXPECT_EQ(byMouse, c.choice == view) << c.col;
    }
}
