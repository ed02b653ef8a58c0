// Start-up with odd settings files: a FIFO or a device never holds up the
// window, and a path line holding a NUL byte lists no directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(SettingsStart, OddSettingsFilesStartWithTheDefaults) {
    TempDir d;
    d.file("sub/inside", "x");
    struct Case {
        const char* what;
        std::function<void(Session&)> setUp;
        std::string start;
        int entries;
    };
    const std::string cut = d.path + std::string("\0/sub", 5);
    const std::vector<Case> cases = {
        {"a FIFO", [](Session& s) { mkfifo((s.programDir.path + "/Kestrel.cfg").c_str(), 0644); }, "/root", -1},
        {"/dev/zero through a link",
         [](Session& s) { std::filesystem::create_symlink("/dev/zero", s.programDir.path + "/Kestrel.cfg"); }, "/root",
         -1},
        {"a path holding a NUL", [&](Session& s) { s.settings(0, 0, cut, 1); }, cut, 1},
    };
    for (const Case& c : cases) {
        Session s;
        c.setUp(s);
        s.script.wait(1000).then([&] {
            EXPECT_EQ(s.app.selectedPath, c.start) << c.what;
            if (c.entries > 0) {
                EXPECT_EQ(s.app.list.count, c.entries) << c.what;
            }
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0) << c.what;
    }
}
