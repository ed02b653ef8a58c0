#pragma once
// The key queue and the pointer state. The X11 event thread (or a test
// script) fills them; the program's one thread polls them. A mutex guards
// both because they are the only data the two threads share.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "screen/key.h"
#include "screen/mouse.h"

namespace kestrel {

class Input {
public:
    static constexpr std::size_t kKeyQueueSize = 32;  // waiting keys kept; a further key drops the oldest

    // Producer side.
    void pushKey(Key k);
    void pointerMoved(int x, int y);
    void pointerLeft();
    void buttonDown(int bit);  // bit 0 left, 1 right, 2 middle
    void buttonUp(int bit);
    void wheelNotch(int delta);  // +1 away from the user

    // Consumer side.
    Key pollKey();
    bool keyWaiting();
    void dropKeys();
    // Forgets presses made and released since the last pollMouse: a click
    // that came while nothing was listening (an outside program ran) must
    // not act on the screen shown afterwards.
    void dropTaps();
    // The buttons as they are now. A press that was released before any
    // poll saw it is still reported once, where it happened, so a quick tap
    // between two polls is never lost; a press a poll has seen held is not
    // reported again once released.
    MouseState pollMouse();
    // The buttons as they are held right now, leaving a latched tap for the
    // next pollMouse: for a loop that samples the mouse more than once per
    // pass and acts on its last sample.
    MouseState peekMouse();
    // Counts every producer call: equal counts mean nothing came in between.
    std::uint64_t changes();
    // Blocks until changes() differs from `seen` or `ms` have passed.
    void waitForChange(std::uint64_t seen, int ms);

private:
    void changed();  // caller holds mutex_

    std::mutex mutex_;
    std::condition_variable changedCv_;
    std::uint64_t changes_ = 0;
    std::deque<Key> keys_;
    int x_ = -1, y_ = -1;
    bool inside_ = false;
    int wheel_ = 0;
    int down_ = 0;
    int latched_ = 0;  // buttons pressed since the last pollMouse
    int latchX_ = -1, latchY_ = -1;  // where the latest press happened
};

}  // namespace kestrel
