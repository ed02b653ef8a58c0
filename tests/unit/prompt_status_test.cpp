// Status messages on the browser's row 27 (their texts are pinned by the
// browser scenarios): colours, how long they stay, what they blank.
#include <gtest/gtest.h>

#include <tuple>

#include "app/status_message.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(StatusMessage, ShownThenBlankedToItsWidth) {
    for (const auto& [message, first, blanked] :
         {std::tuple{StatusMessage::FilesOnly, 'F', 25}, {StatusMessage::MustFirstCopy, 'M', 35}}) {
        PromptRig p;
        p.screen().printAt(27, 2, std::string(60, 'x'));
        bool seen = false;
        p.next(500).then([&] {
            EXPECT_EQ(p.cell(27, 2), (CellRead{first, 4, 2}));
            EXPECT_EQ(p.cell(27, 76).ch, ' ');  // 75 columns blanked first
            seen = true;
        });
        showStatus(p.app, message);
        EXPECT_TRUE(seen);
        EXPECT_EQ(p.text(27, 2, blanked), std::string(blanked, ' '));
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
        const std::int64_t took = p.rig.clock.nowMs() - start;
        EXPECT_EQ(took < 1000, c.early) << c.keys;
        EXPECT_EQ(took >= 2000, !c.early) << c.keys;
        EXPECT_EQ(p.screen().keyWaiting(), c.keyLeft) << c.keys;
    }
}

TEST(StatusMessage, PlacedTexts) {
    PromptRig p;
    showPlaced(p.app, kWaitingForProgram);
    EXPECT_EQ(p.cell(27, 50), (CellRead{'W', 1, 2}));
    clearWaitingForProgram(p.app);
    EXPECT_EQ(p.text(27, 50, 29), std::string(29, ' '));
    const std::int64_t start = p.rig.clock.nowMs();
    showPlaced(p.app, kUnableToRun);
    EXPECT_EQ(p.cell(29, 25), (CellRead{'E', 4, 15}));
    EXPECT_EQ(p.rig.clock.nowMs() - start, 4000);
}
