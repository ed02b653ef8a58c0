#include "screen/input.h"

#include <chrono>

namespace kestrel {

void Input::changed() {
    ++changes_;
    changedCv_.notify_all();
}

std::uint64_t Input::changes() {
    std::lock_guard lock(mutex_);
    return changes_;
}

void Input::waitForChange(std::uint64_t seen, int ms) {
    std::unique_lock lock(mutex_);
    changedCv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return changes_ != seen; });
}

void Input::pushKey(Key k) {
    std::lock_guard lock(mutex_);
    changed();
    // A bounded buffer, so a held key's repeat cannot pile up work that goes
    // on long after it is let go. The oldest key makes room: the last one
    // typed (an Esc after a burst of keys) always arrives.
    if (keys_.size() >= kKeyQueueSize) keys_.pop_front();
    keys_.push_back(k);
}

void Input::pointerMoved(int x, int y) {
    std::lock_guard lock(mutex_);
    changed();
    x_ = x;
    y_ = y;
    inside_ = true;
}

void Input::pointerLeft() {
    std::lock_guard lock(mutex_);
    changed();
    inside_ = false;
}

void Input::buttonDown(int bit) {
    std::lock_guard lock(mutex_);
    changed();
    down_ |= 1 << bit;
    latched_ |= 1 << bit;
    latchX_ = x_;
    latchY_ = y_;
}

void Input::buttonUp(int bit) {
    std::lock_guard lock(mutex_);
    changed();
    down_ &= ~(1 << bit);
}

void Input::wheelNotch(int delta) {
    std::lock_guard lock(mutex_);
    changed();
    wheel_ += delta;
}

Key Input::pollKey() {
    std::lock_guard lock(mutex_);
    if (keys_.empty()) return {};
    Key k = keys_.front();
    keys_.pop_front();
    return k;
}

bool Input::keyWaiting() {
    std::lock_guard lock(mutex_);
    return !keys_.empty();
}

void Input::dropKeys() {
    std::lock_guard lock(mutex_);
    keys_.clear();
}

void Input::dropTaps() {
    std::lock_guard lock(mutex_);
    latched_ &= down_;
}

MouseState Input::peekMouse() {
    std::lock_guard lock(mutex_);
    if (!inside_) return {};
    return {x_, y_, wheel_, down_, true};
}

MouseState Input::pollMouse() {
    std::lock_guard lock(mutex_);
    if (!inside_) return {};
    // A button still held is reported as held; the latch only keeps a tap
    // that was pressed and released between two polls, reported once where
    // it happened. A press seen held is never reported again after release.
    const int tapped = latched_ & ~down_;
    latched_ = 0;
    if (tapped != 0 && down_ == 0) return {latchX_, latchY_, wheel_, tapped, true};
    return {x_, y_, wheel_, down_ | tapped, true};
}

}  // namespace kestrel
