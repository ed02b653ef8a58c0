// The real kestrel executable under a private Xvfb, used with xdotool as a
// person would: browse, sort, search, switch views, move the window, leave.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "temp_dir.h"
#include "x_probe.h"
#include "xvfb.h"

extern char** environ;

using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class Kestrel {
public:
    Kestrel(const std::string& programDir, const std::string& display) {
        const std::string exe = programDir + "/kestrel";
        fs::copy_file(KESTREL_BINARY, exe, fs::copy_options::overwrite_existing);
        std::vector<std::string> env = {"DISPLAY=" + display};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
        if (posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
    }
    ~Kestrel() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return pid_ > 0; }
    // The exit status once the process has ended within `limitMs`, or -1.
    int waitExit(int limitMs) {
        int status = 0;
        const bool ended = waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limitMs);
        if (!ended) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

TEST(KestrelSession, BrowseSortSearchViewMoveAndLeave) {
    Xvfb xvfb("1280x1024x24");
    ASSERT_FALSE(xvfb.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", xvfb.display().c_str(), 1);

    TempDir program, tree;
    tree.file("alpha/inner.txt", "inside");
    tree.file("big.bin", std::string(5000, 'b'));
    tree.file("small.txt", "tiny");
    tree.dir("zeta");
    program.file("Kestrel.cfg", "0 BigSmall\n1 BackGround\n" + tree.path + "\n1 SortList\n");

    Kestrel kestrel(program.path, xvfb.display());
    ASSERT_TRUE(kestrel.started());
    unsigned long window = 0;
    ASSERT_TRUE(waitFor([&] { return (window = findWindow("Kestrel")) != 0; }, 10000));
    ASSERT_TRUE(waitFor([&] { return windowInfo(window).value_or(WindowInfo{}).viewable; }));
    const std::string id = std::to_string(window);
    std::optional<WindowInfo> info;
    runCommand("xdotool windowfocus --sync " + id);
    pause(1500);
    auto key = [&](const std::string& keys, int settleMs = 1200) {
        runCommand("xdotool key --delay 150 " + keys);
        pause(settleMs);
    };
    // Into "alpha" with the right button on its row and back with Enter on
    // "..", sort by size, search for "zet" and enter "zeta".
    key("Down", 500);
    runCommand("xdotool mousemove --window " + id + " 100 88 click 3");
    pause(1200);
    key("Return");
    key("s");
    key("question", 500);
    key("z e t Return", 800);
    key("Escape", 2200);
    key("Return");
    // The expanded view, then the pad's top-left square.
    key("m", 1500);
    EXPECT_TRUE(waitFor([&] { return (info = windowInfo(window)) && info->width == 800 && info->height == 600; }));
    runCommand("xdotool mousemove --window " + id + " 613 448 click 1");
    EXPECT_TRUE(waitFor([&] { return (info = windowInfo(window)) && info->x == 4 && info->y == 4; }));
    key("Escape", 0);
    EXPECT_EQ(kestrel.waitExit(10000), 0);
    EXPECT_EQ(program.read("Kestrel.cfg"), "1 BigSmall\n1 BackGround\n" + tree.path + "/zeta\n3 SortList\n");
}
