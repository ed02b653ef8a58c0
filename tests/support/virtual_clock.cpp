#include "virtual_clock.h"

#include <algorithm>

namespace kestrel::test {

void VirtualClock::deliverDue() {
    while (!events_.empty() && events_.begin()->first <= now_) {
        auto action = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        action();
    }
}

void VirtualClock::sleepMs(int ms) {
    if (ms < 0) ms = 0;
    const std::int64_t end = now_ + ms;
    // Events fire at their own time, so a sleep that spans several of them
    // sees them in order, as a real user's input would arrive.
    while (!events_.empty() && events_.begin()->first <= end) {
        now_ = std::max(now_, events_.begin()->first);
        deliverDue();
    }
    now_ = std::max(now_, end);
    slept += ms;
    ++sleeps;
    if (now_ > limitMs) throw ScriptTimeout();
}

void VirtualClock::waitForInput(Input& input, std::uint64_t seen, int ms) {
    const std::int64_t end = now_ + std::max(ms, 0);
    while (input.changes() == seen && !events_.empty() && events_.begin()->first <= end) {
        now_ = std::max(now_, events_.begin()->first);
        deliverDue();
    }
    if (input.changes() == seen) now_ = std::max(now_, end);
    if (now_ > limitMs) throw ScriptTimeout();
}

void VirtualClock::at(std::int64_t t, std::function<void()> action) { events_.emplace(t, std::move(action)); }

Script& Script::act(std::function<void(Input&)> action) {
    Input* in = &input_;
    clock_.at(t_, [in, action = std::move(action)] { action(*in); });
    return *this;
}

Script& Script::key(int c) {
    return act([c](Input& in) { in.pushKey(Key::character(static_cast<std::uint8_t>(c))); });
}

Script& Script::keys(const char* text) {
    for (const char* p = text; *p; ++p) key(static_cast<unsigned char>(*p)).wait(60);
    return *this;
}

Script& Script::ext(int scanCode) {
    return act([scanCode](Input& in) { in.pushKey(Key::extended(static_cast<std::uint8_t>(scanCode))); });
}

Script& Script::move(int x, int y) { return act([x, y](Input& in) { in.pointerMoved(x, y); }); }
Script& Script::leave() { return act([](Input& in) { in.pointerLeft(); }); }
Script& Script::down(int bit) { return act([bit](Input& in) { in.buttonDown(bit); }); }
Script& Script::up(int bit) { return act([bit](Input& in) { in.buttonUp(bit); }); }
Script& Script::click(int x, int y, int bit, int holdMs) { return move(x, y).down(bit).wait(holdMs).up(bit); }

Script& Script::wheel(int notches, int gapMs) {
    if (gapMs == 0) return act([notches](Input& in) { in.wheelNotch(notches); });
    const int step = notches < 0 ? -1 : 1;
    for (int n = 0; n != notches; n += step) {
        if (n != 0) wait(gapMs);
        act([step](Input& in) { in.wheelNotch(step); });
    }
    return *this;
}

Script& Script::then(std::function<void()> action) {
    clock_.at(t_, std::move(action));
    return *this;
}

}  // namespace kestrel::test
