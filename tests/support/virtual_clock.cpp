#include "virtual_clock.h"

#include <algorithm>
#include <stdexcept>

namespace kestrel::test {

// Events fire at their own time, so a sleep that spans several of them sees them in order,
// as a real user's input would arrive. Returns early once `done` holds after an event.
template <typename Done>
void VirtualClock::runUntil(std::int64_t end, Done done) {
    while (!done() && !events_.empty() && events_.begin()->first <= end) {
        now_ = std::max(now_, events_.begin()->first);
        auto action = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        action();
    }
    if (!done()) now_ = std::max(now_, end);
    if (now_ > limitMs) throw std::runtime_error("virtual time ran past the test's limit");
}

void VirtualClock::sleepMs(int ms) {
    ++sleeps;
    runUntil(now_ + std::max(ms, 0), [] { return false; });
}

void VirtualClock::waitForInput(Input& input, std::uint64_t seen, int ms) {
    runUntil(now_ + std::max(ms, 0), [&] { return input.changes() != seen; });
}

Script& Script::wheel(int notches, int gapMs) {
    if (gapMs == 0) return act([notches](Input& in) { in.wheelNotch(notches); });
    const int step = notches < 0 ? -1 : 1;
    for (int n = 0; n != notches; n += step) (n ? wait(gapMs) : *this).act([step](Input& in) { in.wheelNotch(step); });
    return *this;
}

}  // namespace kestrel::test
