#pragma once
// Every wait in Kestrel goes through one clock, so tests can run the program
// on virtual time: the product sleeps for real, a test advances at once.
#include <cstdint>
#include <ctime>

namespace kestrel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
    // Wall-clock time for the clock panel and dates shown to the user.
    virtual std::time_t wallTime() { return std::time(nullptr); }
};

class RealClock final : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
};

}  // namespace kestrel
