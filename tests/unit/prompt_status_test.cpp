// How long status messages stay (their texts and colours are pinned by the
// browser, buffer and open-file scenarios).
#include <gtest/gtest.h>


#include "app/status_message.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

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

TEST(StatusMessage, UnableToRunStaysFourSeconds) {
    PromptRig p;
    const std::int64_t start = p.rig.clock.nowMs();
    showPlaced(p.app, kUnableToRun);
    EXPECT_EQ(p.rig.clock.nowMs() - start, 4000);
}
