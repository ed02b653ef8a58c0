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

TEST(ExecChooser, LabelCellsAnswerAndTheirNeighboursDoNot) {
    struct Case {
        int col;
        int button;
        ExecChoice choice;
    };
    for (const Case c : {Case{20, 0, ExecChoice::View}, {30, 1, ExecChoice::View}, {36, 0, ExecChoice::Run},
                         {45, 0, ExecChoice::Run}, {51, 1, ExecChoice::Cancel}, {58, 0, ExecChoice::Cancel}}) {
        PromptRig p;
        bool byMouse = false;
        p.next().click(xOfColumn(c.col), yOfRow(26), c.button);
        EXPECT_EQ(chooseExecutable(p.app, "/bin/tool", &byMouse), c.choice) << c.col;
        EXPECT_EQ(byMouse, c.choice == ExecChoice::View) << c.col;
    }
    // Presses beside the labels, or on the right row of another column, do
    // nothing; the key that follows decides.
    for (int col : {19, 31, 35, 46, 50, 59}) {
        PromptRig p;
        p.next().click(xOfColumn(col), yOfRow(26)).wait(100).key('r');
        EXPECT_EQ(chooseExecutable(p.app, "/bin/tool"), ExecChoice::Run) << col;
    }
    PromptRig p;
    p.next().click(xOfColumn(22), yOfRow(25)).wait(100).click(xOfColumn(22), yOfRow(27)).wait(100).key('c');
    EXPECT_EQ(chooseExecutable(p.app, "/bin/tool"), ExecChoice::Cancel);
}
