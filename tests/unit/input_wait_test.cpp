// The idle loops' wait ends when input comes from the X11 event thread.
#include <gtest/gtest.h>

#include <thread>

#include "screen/clock.h"
#include "screen/input.h"

using namespace kestrel;

TEST(InputWait, RealWaitEndsWhenAnotherThreadDeliversInput) {
    Input input;
    RealClock clock;
    for (auto deliver : {+[](Input& in) { in.pushKey(Key::character('a')); }, +[](Input& in) { in.pointerMoved(3, 4); },
                         +[](Input& in) { in.buttonUp(0); }, +[](Input& in) { in.wheelNotch(1); }}) {
        const std::uint64_t seen = input.changes();
        std::thread producer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            deliver(input);
        });
        clock.waitForInput(input, seen, 10 * 60 * 1000);  // without a wake-up this outlasts the test's time limit
        producer.join();
        EXPECT_NE(input.changes(), seen);
    }
}
