#pragma once
// Virtual time for tests: sleeping advances the clock at once and delivers
// the scripted input that has come due, so a run is instant and repeatable.
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>

#include "screen/clock.h"
#include "screen/input.h"

namespace kestrel::test {

struct ScriptTimeout : std::runtime_error {
    ScriptTimeout() : std::runtime_error("virtual time ran past the test's limit") {}
};

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(Input& input) : input_(input) {}
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override;
    std::time_t wallTime() override { return wallBase + static_cast<std::time_t>(now_ / 1000); }
    // Like a real wait: time jumps to the first input that comes, or to the end.
    void waitForInput(Input& input, std::uint64_t seen, int ms) override;

    // Runs `action` once virtual time reaches `t`.
    void at(std::int64_t t, std::function<void()> action);
    // Delivers everything due now without advancing.
    void deliverDue();
    bool scriptDone() const { return events_.empty(); }

    std::int64_t limitMs = 10 * 60 * 1000;  // a run that never ends fails
    std::time_t wallBase = 1700000000;      // 2023-11-14 22:13:20 UTC
    std::int64_t slept = 0;                 // total virtual time slept
    int sleeps = 0;                         // sleepMs calls: a busy loop makes many

private:
    Input& input_;
    std::int64_t now_ = 0;
    std::multimap<std::int64_t, std::function<void()>> events_;
};

// Builds a timed input script: each step happens `gap` ms after the one before.
class Script {
public:
    Script(VirtualClock& clock, Input& input, std::int64_t start = 0) : clock_(clock), input_(input), t_(start) {}
    Script& wait(std::int64_t ms) { t_ += ms; return *this; }
    Script& key(int c);                // one character
    Script& keys(const char* text);    // several characters, 60 ms apart
    Script& ext(int scanCode);         // an extended key
    Script& move(int x, int y);
    Script& leave();
    Script& down(int bit);
    Script& up(int bit);
    Script& click(int x, int y, int bit = 0, int holdMs = 100);  // a hand's click; held buttons repeat
    // A press released within one poll, which no hand makes: only for a test about that.
    Script& instantTap(int x, int y, int bit = 0) { return click(x, y, bit, 5); }
    // A turn of the wheel as a hand makes it: `notches` (negative: towards
    // the user) `gapMs` apart; gapMs 0 is a single instant event.
    Script& wheel(int notches, int gapMs = 25);
    Script& then(std::function<void()> action);
    std::int64_t time() const { return t_; }

private:
    Script& act(std::function<void(Input&)> action);  // at the script's current time
    VirtualClock& clock_;
    Input& input_;
    std::int64_t t_;
};

}  // namespace kestrel::test
