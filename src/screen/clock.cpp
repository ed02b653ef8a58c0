#include "screen/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "screen/input.h"

namespace kestrel {

std::int64_t RealClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::sleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace kestrel

namespace kestrel {

void Clock::waitForInput(Input& input, std::uint64_t seen, int ms) {
    const std::int64_t end = nowMs() + ms;
    while (input.changes() == seen && nowMs() < end)
        sleepMs(static_cast<int>(std::min<std::int64_t>(10, end - nowMs())));
}

std::int64_t RealClock::wallMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void RealClock::waitForInput(Input& input, std::uint64_t seen, int ms) { input.waitForChange(seen, ms); }

}  // namespace kestrel
