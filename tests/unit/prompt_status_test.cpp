// Status messages on the browser's row 27 and the texts placed by dialogs.
#include <gtest/gtest.h>

#include "app/status_message.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(StatusMessage, ShownThenBlankedToItsWidth) {
    struct Case {
        StatusMessage message;
        const char* text;
        int blanked;
    };
    for (const Case c : {Case{StatusMessage::PickFileOrDirectory, "Pick a file or directory.", 25},
                         {StatusMessage::NeedFileStart, "Need File Start.", 25},
                         {StatusMessage::FilesOnly, "Files Only.", 25},
                         {StatusMessage::MustFirstCopy, "Must first make a Copy selection.", 35}}) {
        PromptRig p;
        const std::string text = c.text;
        p.screen().locate(27, 2);
        p.screen().print(std::string(60, 'x'));
        bool seen = false;
        p.next(500).then([&] {
            EXPECT_EQ(p.text(27, 2, static_cast<int>(text.size())), text);
            EXPECT_EQ(p.cell(27, 2), (CellRead{text[0], 4, 2}));
            EXPECT_EQ(p.cell(27, 76).ch, ' ');  // 75 columns blanked first
            seen = true;
        });
        showStatus(p.app, c.message);
        EXPECT_TRUE(seen);
        EXPECT_EQ(p.text(27, 2, c.blanked), std::string(c.blanked, ' '));
    }
}

// Esc ends a message early and every key still waiting goes with it; other
// keys neither end it nor survive it; the fixed form's message is cut short
// by any key, which is left for the browser.
TEST(StatusMessage, WaitRules) {
    struct Case {
        StatusMessage message;
        const char* keys;
        bool queued, early, keyLeft;
    };
    for (const Case c : {Case{StatusMessage::FilesOnly, "a\x1b" "bc", true, true, false},
                         {StatusMessage::NeedFileStart, "ab", false, false, false},
                         {StatusMessage::PickFileOrDirectory, "q", false, true, true}}) {
        PromptRig p;
        Script s = p.next(300);
        for (const char* k = c.keys; *k; ++k) c.queued ? s.key(*k) : s.key(*k).wait(60);
        const std::int64_t start = p.rig.clock.nowMs();
        showStatus(p.app, c.message);
        EXPECT_EQ(p.rig.clock.nowMs() - start < 1000, c.early) << c.keys;
        EXPECT_EQ(p.rig.clock.nowMs() - start >= 2000, !c.early) << c.keys;
        EXPECT_EQ(p.screen().keyWaiting(), c.keyLeft) << c.keys;
    }
}

TEST(StatusMessage, PlacedTexts) {
    PromptRig p;
    showPlaced(p.app, kWaitingForProgram);
    EXPECT_EQ(p.text(27, 50, 29), "Waiting for program to close.");
    EXPECT_EQ(p.cell(27, 50), (CellRead{'W', 1, 2}));
    clearWaitingForProgram(p.app);
    EXPECT_EQ(p.text(27, 50, 29), std::string(29, ' '));
    showPlaced(p.app, kCaution);
    EXPECT_EQ(p.cell(26, 10), (CellRead{'C', 4, 15}));
    const std::int64_t start = p.rig.clock.nowMs();
    showPlaced(p.app, kUnableToRun);
    EXPECT_EQ(p.text(29, 25, 29), "Error: unable to run program.");
    EXPECT_EQ(p.cell(29, 25), (CellRead{'E', 4, 15}));
    EXPECT_EQ(p.rig.clock.nowMs() - start, 4000);
}
