#pragma once
// When a held mouse button acts. A press acts once when it starts; held on,
// it acts again on every poll only after a repeat delay, like a key's
// auto-repeat, so a hand's click (held 50 to 200 ms, across several polls)
// acts exactly once while a long hold still keeps paging or scrolling.
#include <cstdint>

#include "screen/mouse.h"

namespace kestrel {

class PressRepeat {
public:
    static constexpr int kRepeatDelayMs = 250;  // longer than a hand holds a click

    // Buttons already down when a screen opens belong to the click that
    // opened it: they act only once they have been let go and pressed anew.
    void begin(const MouseState& now, int buttons = 3) {
        held_ = now.valid ? now.buttons & buttons : 0;
        stale_ = held_ != 0;
    }

    // Whether a poll that reports `buttons` at `nowMs` acts.
    bool acts(int buttons, std::int64_t nowMs) {
        if (buttons <= 0) {
            held_ = 0;
            stale_ = false;
            return false;
        }
        const bool fresh = (buttons & ~held_) != 0;
        held_ = buttons;
        if (fresh) {
            stale_ = false;
            since_ = nowMs;
            return true;
        }
        return !stale_ && nowMs - since_ >= kRepeatDelayMs;
    }

private:
    int held_ = 0;
    bool stale_ = false;
    std::int64_t since_ = 0;
};

}  // namespace kestrel
