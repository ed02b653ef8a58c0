// Time the browser spends outside its own sleeps for one cursor move inside a
// page and for one page change, presented in the real window under a private
// Xvfb. The sleeps are skipped so only drawing and presenting are counted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "frame/app_state.h"
#include "app/cursor_moves.h"
#include "app/main_loop.h"
#include "screen/x11_presenter.h"

using namespace kestrel;

namespace {

class NoSleepClock final : public Clock {
public:
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override { now_ += ms; }

private:
    std::int64_t now_ = 0;
};

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    kestrel::test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_browser: Xvfb did not start\n");
        return 1;
    }
    const auto dir = std::filesystem::temp_directory_path() / "kestrel-bench-browser";
    std::filesystem::create_directories(dir);
    for (int i = 0; i < 400; ++i) std::ofstream(dir / ("file" + std::to_string(1000 + i))) << i;

    Input input;
    std::string error;
    auto presenter = makeX11Presenter(input, error, {xvfb.display(), true});
    if (!presenter) {
        std::fprintf(stderr, "bench_browser: %s\n", error.c_str());
        return 1;
    }
    NoSleepClock clock;
    Screen screen(clock, input, *presenter);
    App app(screen, dir.string());
    for (int view : {0, 1}) {
        app.BigSmall = view;
        screen.setMode(view ? 800 : 640, view ? 600 : 480);
        app.selectedPath = dir.string();
        reload(app);
        std::vector<double> moves, pages;
        while (app.cursorIndex + 1 < app.lastIndex) {
            const bool pageChange = app.cursorRow >= 18;
            const auto t0 = std::chrono::steady_clock::now();
            moveDown(app);
            const auto t1 = std::chrono::steady_clock::now();
            (pageChange ? pages : moves).push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::printf("%s view: cursor move %.3f ms (median of %zu), page change %.3f ms (median of %zu)\n",
                    view ? "expanded" : "normal", median(moves), moves.size(), median(pages), pages.size());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
