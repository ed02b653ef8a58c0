#pragma once
// Every wait in Kestrel goes through one clock, so tests can run the program
// on virtual time: the product sleeps for real, a test advances at once.
#include <cstdint>
#include <ctime>

namespace kestrel {

class Input;

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
    // Wall-clock time for the clock panel and dates shown to the user.
    virtual std::time_t wallTime() { return std::time(nullptr); }
    // Milliseconds of wall time, to wake on the second the clock panel shows.
    virtual std::int64_t wallMs() { return wallTime() * std::int64_t{1000} + nowMs() % 1000; }
    // Waits until the input changes from `seen` (Input::changes) or `ms` pass.
    // Idle loops use it instead of a fixed pass, so a screen nobody touches
    // costs nothing; this default looks in 10 ms steps.
    virtual void waitForInput(Input& input, std::uint64_t seen, int ms);
};

class RealClock final : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
    std::int64_t wallMs() override;
    void waitForInput(Input& input, std::uint64_t seen, int ms) override;
};

}  // namespace kestrel
