// The Copy/Kill Buffer at its limits: a 1001-entry buffer over a directory
// of 100,000 entries. Times Q, W over 1,000 entries and a page redraw with
// highlights (headless: drawing into the page, no presenting), then paste
// and kill of 1001 buffered files against cp and rm started directly on the
// same number of files in the same run. Sleeps run on virtual time, so only
// Kestrel's own work and the utilities are counted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "frame/browser_draw.h"
#include "frame/child_path.h"
#include "app/main_loop.h"
#include "fileops/buffer_commands.h"
#include "fileops/paste_kill.h"
#include "rig.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;
using Wall = std::chrono::steady_clock;

namespace {

double msSince(Wall::time_point t0) { return std::chrono::duration<double, std::milli>(Wall::now() - t0).count(); }

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

void makeFiles(const fs::path& dir, int n, const std::string& stem) {
    fs::create_directories(dir);
    for (int i = 0; i < n; ++i) std::ofstream(dir / (stem + std::to_string(100000 + i))) << "content " << i << "\n";
}

// Puts the cursor on entry i, as the browser's cursor moves leave it.
void cursorOn(App& app, int i) {
    app.cursorIndex = i;
    app.cursorRow = 1 + (i - 1) % kPanelRows;
}

// Q on every 100th entry until the buffer is full, then Q on slot 1's entry
// and back (the removal that moves every slot), timed per Q.
double timeQ(App& app) {
    std::vector<double> times;
    app.buffer.clear();
    for (int i = 2; app.buffer.count < 1001; i += 97) {
        cursorOn(app, i);
        const auto t0 = Wall::now();
        toggleCursorEntry(app);
        times.push_back(msSince(t0));
    }
    for (int round = 0; round < 200; ++round) {
        cursorOn(app, 2);
        const auto t0 = Wall::now();
        toggleCursorEntry(app);
        times.push_back(msSince(t0));
    }
    return median(times);
}

double timeW(App& app) {
    std::vector<double> times;
    for (int round = 0; round < 20; ++round) {
        app.buffer.clear();
        const int anchor = 2 + round * 4000;
        cursorOn(app, anchor);
        toggleCursorEntry(app);
        cursorOn(app, anchor + 1000);
        const auto t0 = Wall::now();
        addRunToCursor(app);
        times.push_back(msSince(t0));
        if (app.buffer.count != 1001) std::fprintf(stderr, "bench_buffer: W left %d entries\n", app.buffer.count);
    }
    return median(times);
}

// Each page shows 19 picked rows; the buffer holds 1001.
double timePages(App& app, bool linear) {
    app.buffer.clear();
    for (int i = 2; i <= 1002; ++i) app.buffer.add(app.list.row(i), listedEntryPath(app.list, i));
    std::vector<double> times;
    for (int first = 2; first + kPanelRows <= 1002; first += kPanelRows) {
        const auto t0 = Wall::now();
        if (linear) {
            // What the check would cost as a search of the slots.
            int held = 0;
            for (int p = 0; p < kPanelRows; ++p)
                for (int j = 1; j <= app.buffer.count; ++j)
                    if (app.buffer.paths[j] == listedEntryPath(app.list, first + p)) ++held;
            if (held != kPanelRows) std::fprintf(stderr, "bench_buffer: %d held\n", held);
        } else {
            drawPage(app, first);
        }
        times.push_back(msSince(t0));
    }
    return median(times);
}

double timeDirect(const char* program, std::vector<std::string> args) {
    RealRunner runner;
    const auto t0 = Wall::now();
    runner.startProgram(program, args);
    return msSince(t0);
}

// Answers the confirmation that is about to open with these keys.
void answer(Rig& rig, const char* keys) {
    Script script(rig.clock, rig.input, rig.clock.nowMs());
    script.move(300, 200);
    for (const char* k = keys; *k; ++k) script.wait(400).key(*k);
}

}  // namespace

int main() {
    // In memory where the machine offers it: making 100,000 files on a disk
    // under load takes minutes and measures the disk, not Kestrel.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / "kestrel-bench-buffer";
    fs::remove_all(root);
    Rig rig(800, 600);
    RealRunner runner;
    App app(rig.screen, root.string(), runner);
    app.BigSmall = 1;

    const fs::path big = root / "big";
    makeFiles(big, 99999, "entry-with-a-fairly-long-name-");
    app.selectedPath = big.string();
    reload(app);
    std::printf("directory of %d entries\n", app.list.count);
    std::printf("Q: %.4f ms (median)\n", timeQ(app));
    std::printf("W over 1,000 entries: %.3f ms (median of 20)\n", timeW(app));
    const double page = timePages(app, false), linear = timePages(app, true);
    std::printf("page redraw, 19 highlighted rows, 1001 in the buffer: %.4f ms (median); "
                "the same check as a search of the slots: %.4f ms\n",
                page, linear);

    std::vector<double> paste, cp, kill, rm;
    for (int round = 0; round < 5; ++round) {
        const fs::path src = root / "src", viaKestrel = root / "dst-kestrel", direct = root / "dst-direct";
        for (const auto& d : {src, viaKestrel, direct}) fs::remove_all(d);
        makeFiles(src, 1001, "picked-file-");
        fs::create_directories(viaKestrel);
        fs::create_directories(direct);
        app.buffer.clear();
        app.copySelection = {};
        std::vector<std::string> sources;
        for (const auto& e : fs::directory_iterator(src)) sources.push_back(e.path().string());
        std::sort(sources.begin(), sources.end());
        for (const auto& p : sources) app.buffer.add("row " + p, p);

        std::vector<std::string> cpArgs = sources;
        cpArgs.push_back(direct.string());
        cp.push_back(timeDirect("/bin/cp", cpArgs));
        answer(rig, "Y");
        app.savedDirectoryPath = viaKestrel.string();
        auto t0 = Wall::now();
        pasteAll(app);
        paste.push_back(msSince(t0));

        // Kill: the buffer names the Kestrel copies; rm gets the direct ones.
        app.buffer.clear();
        std::vector<std::string> copies, rmArgs;
        for (const auto& p : sources) {
            const std::string name = fs::path(p).filename().string();
            copies.push_back((viaKestrel / name).string());
            rmArgs.push_back((direct / name).string());
            app.buffer.add("row " + copies.back(), copies.back());
        }
        rm.push_back(timeDirect("/bin/rm", rmArgs));
        answer(rig, "BY");
        app.savedDirectoryPath = viaKestrel.string();
        t0 = Wall::now();
        killAll(app);
        kill.push_back(msSince(t0));
        if (!fs::is_empty(viaKestrel) || !fs::is_empty(direct)) std::fprintf(stderr, "bench_buffer: files left\n");
    }
    std::printf("paste buffer of 1001 files: %.2f ms, cp directly: %.2f ms, ratio %.2f (medians of 5)\n",
                median(paste), median(cp), median(paste) / median(cp));
    std::printf("kill buffer of 1001 files: %.2f ms, rm directly: %.2f ms, ratio %.2f (medians of 5)\n",
                median(kill), median(rm), median(kill) / median(rm));
    fs::current_path("/");
    fs::remove_all(root);
    return 0;
}
