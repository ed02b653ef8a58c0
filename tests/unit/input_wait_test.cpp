// The idle loops' real wait ends when the X11 event thread delivers input
// (without the wake-up it would outlast the test's time limit).
#include <gtest/gtest.h>

#include <thread>

#include "screen/clock.h"
#include "screen/input.h"

TEST(InputWait, RealWaitEndsWhenAnotherThreadDeliversInput) {
    kestrel::Input input;
    const std::uint64_t seen = input.changes();
    std::thread producer([&] { input.pointerMoved(3, 4); });
    kestrel::RealClock().waitForInput(input, seen, 10 * 60 * 1000);
    producer.join();
    EXPECT_NE(input.changes(), seen);
}
