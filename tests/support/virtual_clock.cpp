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
    if (now_ > limitMs) throw ScriptTimeout();
}

void VirtualClock::at(std::int64_t t, std::function<void()> action) { events_.emplace(t, std::move(action)); }

Script& Script::key(int c) {
    Input* in = &input_;
    clock_.at(t_, [in, c] { in->pushKey(Key::character(static_cast<std::uint8_t>(c))); });
    return *this;
}

Script& Script::keys(const char* text) {
    for (const char* p = text; *p; ++p) {
        key(static_cast<unsigned char>(*p));
        wait(60);
    }
    return *this;
}

Script& Script::ext(int scanCode) {
    Input* in = &input_;
    clock_.at(t_, [in, scanCode] { in->pushKey(Key::extended(static_cast<std::uint8_t>(scanCode))); });
    return *this;
}

Script& Script::move(int x, int y) {
    Input* in = &input_;
    clock_.at(t_, [in, x, y] { in->pointerMoved(x, y); });
    return *this;
}

Script& Script::leave() {
    Input* in = &input_;
    clock_.at(t_, [in] { in->pointerLeft(); });
    return *this;
}

Script& Script::down(int bit) {
    Input* in = &input_;
    clock_.at(t_, [in, bit] { in->buttonDown(bit); });
    return *this;
}

Script& Script::up(int bit) {
    Input* in = &input_;
    clock_.at(t_, [in, bit] { in->buttonUp(bit); });
    return *this;
}

Script& Script::click(int x, int y, int bit, int holdMs) {
    move(x, y);
    down(bit);
    wait(holdMs);
    up(bit);
    return *this;
}

Script& Script::wheel(int notches, int gapMs) {
    Input* in = &input_;
    const int step = notches < 0 ? -1 : 1;
    for (int n = 0; n != notches; n += step) {
        if (gapMs == 0) {
            clock_.at(t_, [in, notches] { in->wheelNotch(notches); });
            break;
        }
        if (n != 0) wait(gapMs);
        clock_.at(t_, [in, step] { in->wheelNotch(step); });
    }
    return *this;
}

Script& Script::then(std::function<void()> action) {
    clock_.at(t_, std::move(action));
    return *this;
}

}  // namespace kestrel::test
