#pragma once
// Virtual time for tests: sleeping advances the clock at once and delivers
// the scripted input that has come due, so a run is instant and repeatable.
#include <cstdint>
#include <functional>
#include <map>

#include "screen/clock.h"
#include "screen/input.h"

namespace kestrel::test {

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(Input&) {}
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override;  // throws once past limitMs: a run that never ends fails
    std::time_t wallTime() override { return wallBase + static_cast<std::time_t>(now_ / 1000); }
    // Like a real wait: time jumps to the first input that comes, or to the end.
    void waitForInput(Input& input, std::uint64_t seen, int ms) override;
    // Runs `action` once virtual time reaches `t`.
    void at(std::int64_t t, std::function<void()> action) { events_.emplace(t, std::move(action)); }
    // Scripted steps not yet come due: a program that ended early left them unrun.
    std::size_t pending() const { return events_.size(); }

    std::int64_t limitMs = 10 * 60 * 1000;
    std::time_t wallBase = 1700000000;  // 2023-11-14 22:13:20 UTC
    int sleeps = 0;                     // sleepMs calls: a busy loop makes many

private:
    template <typename Done>
    void runUntil(std::int64_t end, Done done);
    std::int64_t now_ = 0;
    std::multimap<std::int64_t, std::function<void()>> events_;
};

// Builds a timed input script: each step happens `gap` ms after the one before.
class Script {
public:
    Script(VirtualClock& clock, Input& input, std::int64_t start = 0) : clock_(clock), input_(input), t_(start) {}
    Script& wait(std::int64_t ms) { t_ += ms; return *this; }
    Script& key(int c) { return act([c](Input& in) { in.pushKey(Key::character(static_cast<std::uint8_t>(c))); }); }
    Script& keys(const char* text) {  // several characters, 60 ms apart
        for (const char* p = text; *p; ++p) key(static_cast<unsigned char>(*p)).wait(60);
        return *this;
    }
    Script& ext(int scan) { return act([scan](Input& in) { in.pushKey(Key::extended(static_cast<std::uint8_t>(scan))); }); }
    Script& move(int x, int y) { return act([x, y](Input& in) { in.pointerMoved(x, y); }); }
    Script& leave() { return act([](Input& in) { in.pointerLeft(); }); }
    Script& down(int bit) { return act([bit](Input& in) { in.buttonDown(bit); }); }
    Script& up(int bit) { return act([bit](Input& in) { in.buttonUp(bit); }); }
    // A hand's click; held buttons repeat.
    Script& click(int x, int y, int bit = 0, int holdMs = 100) { return move(x, y).down(bit).wait(holdMs).up(bit); }
    // A press released within one poll, which no hand makes: only for a test about that.
    Script& instantTap(int x, int y, int bit = 0) { return click(x, y, bit, 5); }
    // A turn of the wheel as a hand makes it: `notches` (negative: towards
    // the user) `gapMs` apart; gapMs 0 is a single instant event.
    Script& wheel(int notches, int gapMs = 25);
    Script& then(std::function<void()> action) { clock_.at(t_, std::move(action)); return *this; }
    std::int64_t time() const { return t_; }

private:
    Script& act(std::function<void(Input&)> action) {
        return then([in = &input_, action = std::move(action)] { action(*in); });
    }
    VirtualClock& clock_;
    Input& input_;
    std::int64_t t_;
};

}  // namespace kestrel::test
