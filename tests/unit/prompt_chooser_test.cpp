// The executable chooser: its panel, its keys and its label cells.
#include <gtest/gtest.h>

#include "app/exec_chooser.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(ExecChooser, PanelShowsLabelsAndThePathCentred) {
    PromptRig p;
    p.next().move(10, 10).key('c');
    EXPECT_EQ(chooseExecutable(p.app, "/opt/tool"), ExecChoice::Cancel);
    EXPECT_EQ(p.screen().visiblePage(), 2);
    EXPECT_EQ(p.text(26, 20, 11), " View file ");
    EXPECT_EQ(p.cell(26, 21), (CellRead{'V', 15, 1}));
    EXPECT_EQ(p.text(26, 36, 10), " Run file ");
    EXPECT_EQ(p.text(26, 51, 8), " Cancel ");
    // 9 characters centred on 40: 35.5 rounds to the even 36.
    EXPECT_EQ(p.text(3, 36, 9), "/opt/tool");
    EXPECT_EQ(p.cell(3, 36), (CellRead{'/', 0, 2}));
    // The path is also on the browser's message row, on page 0.
    EXPECT_EQ(readText(p.screen(), 0, 27, 2, 9), "/opt/tool");
    EXPECT_EQ(p.screen().pixel(2, 6, 375), 0);   // the panel's outline
    EXPECT_EQ(p.screen().pixel(2, 20, 380), 15);  // and its inside
}

TEST(ExecChooser, KeysInEitherCase) {
    struct Case {
        int key;
        ExecChoice choice;
    };
    for (const Case c : {Case{'v', ExecChoice::View}, {'V', ExecChoice::View}, {'r', ExecChoice::Run},
                         {'R', ExecChoice::Run}, {'c', ExecChoice::Cancel}, {27, ExecChoice::Cancel}}) {
        PromptRig p;
        bool byMouse = true;
        // Keys that answer nothing are passed over.
        p.next().move(10, 10).key('x').key('y').key(c.key);
        EXPECT_EQ(chooseExecutable(p.app, "/bin/tool", &byMouse), c.choice) << c.key;
        EXPECT_FALSE(byMouse);
        EXPECT_FALSE(p.screen().keyWaiting());
    }
}

// Presses on a label's cells answer (only View reports the mouse); presses
// beside them, or on another row, do nothing and the key that follows decides.
TEST(ExecChooser, LabelCellsAnswerAndTheirNeighboursDoNot) {
    struct Case {
        int row, col, button;
        ExecChoice choice;
    };
    const ExecChoice view = ExecChoice::View, run = ExecChoice::Run, cancel = ExecChoice::Cancel;
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
