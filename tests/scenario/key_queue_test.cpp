// A held key's repeat, or a burst of typing, keeps at most a keyboard
// buffer's worth of keys waiting, so Kestrel stops soon after it ends.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(KeyQueue, KeepsAtMost32WaitingKeys) {
    Input in;
    for (int i = 0; i < 1000; ++i) in.pushKey(Key::character(static_cast<std::uint8_t>('a' + i % 26)));
    int waiting = 0;
    Key first = in.pollKey();
    for (Key k = first; !k.empty(); k = in.pollKey()) ++waiting;
    EXPECT_EQ(waiting, 32);
    EXPECT_TRUE(first.isChar('a'));  // the oldest keys are kept, in order

    // 1000 Down keys in 2.4 s, then Esc: Kestrel ends soon after the burst.
    Session s;
    s.dir.numberedFiles(50);
    s.browse();
    for (int i = 0; i < 1000; ++i) {
        if (i % 5 == 0) s.script.wait(12);
        s.script.ext(scan::Down);
    }
    const std::int64_t escAt = s.script.wait(60).time();
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_LT(s.rig.clock.nowMs() - escAt, 5000);
}
