// The scaled window of HiDPI desktops: a full 800x600 redraw presented through
// the real X11 window under a private Xvfb at scale 1, 2 and 3 (each page
// pixel an n x n block), median ms per frame and the ratio to scale 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "screen/screen.h"
#include "screen/x11_presenter.h"
#include "frame_rows.h"

using namespace kestrel;

namespace {

// Every pixel changes from one frame to the next, so each present is whole.
void drawFrame(Screen& s, int frame) {
    s.lock();
    bench::printFrameRows(s, frame);
    s.fillBox(0, 592, 799, 599, frame % 256);
    s.unlock();
}

double medianFrameMs(const std::string& display, int scale, int frames) {
    Input input;
    std::string error;
    auto presenter = makeX11Presenter(input, error, {display, true, scale});
    if (!presenter) {
        std::fprintf(stderr, "bench_scale: %s\n", error.c_str());
        return -1;
    }
    RealClock clock;
    Screen screen(clock, input, *presenter);
    if (!screen.setMode(800, 600)) return -1;
    for (int i = 0; i < 20; ++i) drawFrame(screen, i);  // warm up
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        drawFrame(screen, i);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
    return ms[static_cast<size_t>(frames / 2)];
}

}  // namespace

int main() {
    test::Xvfb xvfb("2400x1800x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_scale: Xvfb did not start\n");
        return 1;
    }
    constexpr int kFrames = 200;
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("full redraw 800x600 + present at each scale, median of %d frames (load average %.2f %.2f %.2f):\n",
                kFrames, load[0], load[1], load[2]);
    double base = 0;
    for (int scale = 1; scale <= 3; ++scale) {
        const double ms = medianFrameMs(xvfb.display(), scale, kFrames);
        if (ms < 0) return 1;
        if (scale == 1) base = ms;
        std::printf("  scale %d (%4dx%4d)  %.3f ms/frame  %.2fx scale 1\n", scale, 800 * scale, 600 * scale, ms, ms / base);
    }
    std::printf("  (frame budget: the browser polls every 30 ms at the shortest)\n");
    return 0;
}
