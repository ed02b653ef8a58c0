// Full redraw of the expanded view (37 rows of 100 characters and 30 boxes)
// presented through the real X11 window under a private Xvfb: the median
// time per frame with MIT-SHM and with plain XPutImage.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "screen/screen.h"
#include "screen/x11_presenter.h"
#include "frame_rows.h"

using namespace kestrel;

namespace {

void drawFrame(Screen& s, int frame) {
    s.lock();
    bench::printFrameRows(s, frame);
    for (int b = 0; b < 30; ++b) {
        const int x = (b * 37 + frame) % 700, y = (b * 53) % 500;
        s.drawBox(x, y, x + 90, y + 60, (b + frame) % 256);
    }
    s.unlock();
}

double medianFrameMs(Presenter& presenter, Input& input, int frames) {
    RealClock clock;
    Screen screen(clock, input, presenter);
    if (!screen.setMode(800, 600)) return -1;
    for (int i = 0; i < 20; ++i) drawFrame(screen, i);  // warm up
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        drawFrame(screen, i);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
    return ms[frames / 2];
}

// Median milliseconds per frame in the real window, or a negative value
// when no window opens.
double medianWindowFrameMs(const std::string& display, bool sharedMemory, int frames) {
    Input input;
    std::string error;
    auto presenter = makeX11Presenter(input, error, {display, sharedMemory});
    if (!presenter) {
        std::fprintf(stderr, "bench_draw: %s\n", error.c_str());
        return -1;
    }
    return medianFrameMs(*presenter, input, frames);
}

}  // namespace

int main() {
    test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_draw: Xvfb did not start\n");
        return 1;
    }
    constexpr int kFrames = 300;
    const double shm = medianWindowFrameMs(xvfb.display(), true, kFrames);
    const double plain = medianWindowFrameMs(xvfb.display(), false, kFrames);
    if (shm < 0 || plain < 0) return 1;
    Input input;
    HeadlessPresenter headless(&input);
    const double drawOnly = medianFrameMs(headless, input, kFrames);
    std::printf("full redraw 800x600 (37x100 text + 30 boxes) + present, median of %d frames:\n", kFrames);
    std::printf("  drawing only     %.3f ms/frame (no window)\n", drawOnly);
    std::printf("  MIT-SHM          %.3f ms/frame\n", shm);
    std::printf("  plain XPutImage  %.3f ms/frame\n", plain);
    std::printf("  XPutImage / SHM  %.2fx   (target: under 1 ms per frame)\n", plain / shm);
    return 0;
}
