// Every name of the hostile corpus through rename, new directory, zip and
// the information report: only the intended entry changes, and no name
// ever runs anything (the canary never appears).
#include <gtest/gtest.h>

#include <filesystem>

#include "../unit/hostile_names.h"
#include "extern/programs.h"
#include "session.h"
#include "viewers/info_report.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

constexpr int kSettle = 1500;

bool canaryUnder(const std::string& dir) {
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().filename() == kCanary) return true;
    return false;
}

// One hostile name in a directory of its own, and Kestrel listing it, with
// every shell line run for real.
struct HostileRun {
    Session s;
    TempDir d;
    explicit HostileRun(bool expanded = false) {
        s.runner.onShell = [](const std::string& line) { return RealRunner().runShell(line); };
        s.settings(expanded, 0, d.path, 1);
        s.script.wait(1000);
    }
    void finish(const std::string& name) {
        s.script.wait(kSettle).key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_FALSE(canaryUnder(d.path)) << name;
        EXPECT_FALSE(canaryUnder(s.programDir.path)) << name;
    }
};

}  // namespace

TEST(HostileNames, Rename) {
    for (const std::string& name : hostileNames()) {
        HostileRun r;
        r.d.file(name, "payload");
        r.s.script.ext(scan::Down).wait(150).key('f').wait(600).keys("renamed").key(ch::Enter);
        r.finish(name);
        EXPECT_EQ(entryNames(r.d.path), std::set<std::string>{"renamed"}) << name;
        EXPECT_EQ(r.d.read("renamed"), "payload") << name;
    }
}

TEST(HostileNames, NewDirectoryInsideAHostileDirectory) {
    for (const std::string& name : hostileNames()) {
        HostileRun r;
        r.d.dir(name);
        r.s.script.ext(scan::Down).wait(150).key(ch::Enter).wait(kSettle).key('/').wait(300).keys("new").key(ch::Enter);
        r.finish(name);
        EXPECT_EQ(entryNames(r.d.path), std::set<std::string>{name}) << name;
        EXPECT_EQ(entryNames(r.d.path + "/" + name), std::set<std::string>{"new"}) << name;
    }
}

TEST(HostileNames, Zip) {
    for (const std::string& name : hostileNames()) {
        HostileRun r;
        const std::string dir = r.d.dir(name), file = r.d.file(name + "/" + name, "payload");
        r.s.runner.onProgram = [](const ProgramCall& call) {
            std::vector<std::string> args{"-q", "-nw"};
            args.insert(args.end(), call.args.begin(), call.args.end());
            return RealRunner().startProgram("/usr/bin/zip", args);
        };
        r.s.script.ext(scan::Down).wait(150).key(ch::Enter).wait(kSettle).then([&] {
            r.s.app.buffer.count = 1;
            r.s.app.buffer.paths[1] = file;
        });
        r.s.script.ext(scan::F2);
        r.finish(name);
        EXPECT_EQ(r.s.runner.programCalls,
                  (std::vector<ProgramCall>{{std::string(kArchiver), {dir + "/temp.zip", file}}})) << name;
        EXPECT_EQ(entryNames(dir), (std::set<std::string>{name, "temp.zip"})) << name;
    }
}

TEST(HostileNames, InformationReport) {
    for (const std::string& name : hostileNames()) {
        HostileRun r;
        const std::string target = r.d.file(name, "payload");
        // Only the lines about the entry matter here; the machine's own
        // sections are recorded, not run.
        r.s.runner.onShell = [](const std::string& line) {
            const bool aboutEntry = line.rfind("echo ", 0) == 0 || line.rfind("file ", 0) == 0 || line.rfind("stat ", 0) == 0;
            return aboutEntry ? RealRunner().runShell(line) : 0;
        };
        r.s.script.ext(scan::Down).wait(150).key('i').wait(kSettle).key(27);
        r.finish(name);
        EXPECT_EQ(r.s.runner.shellLines, reportLines(target, r.s.programDir.path + "/identify.txt")) << name;
        EXPECT_NE(r.s.programDir.read("identify.txt").find("- File STAT\n  File: "), std::string::npos) << name;
        EXPECT_EQ(entryNames(r.d.path), std::set<std::string>{name}) << name;
    }
}
