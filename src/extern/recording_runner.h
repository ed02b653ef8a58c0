#pragma once
// A Runner for tests of commands whose programs cannot exist on a test
// machine (the associated programs under /usr/local/bin, mount, umount, lsblk
// of real disks). It runs nothing: it records every shell line and every
// program call in order and answers with the configured results. A test that
// needs a side effect (lsblk writing its report, an editor changing a file)
// sets the matching hook, which then decides the result; onLaunch stands in
// for the whole launch (a real runner, or a child that takes its time).
#include <functional>
#include <string>
#include <vector>

#include "extern/runner.h"

namespace kestrel {

struct ProgramCall {
    std::string program;
    std::vector<std::string> args;
    bool operator==(const ProgramCall&) const = default;
};

class RecordingRunner final : public Runner {
public:
    std::unique_ptr<Child> launch(const Launch& launch) override;

    // What was asked, in order.
    std::vector<std::string> shellLines;
    std::vector<ProgramCall> programCalls;

    // Answers when no hook is set.
    int shellStatus = 0;
    RunResult programResult = RunResult::exited(0);

    // Optional stand-ins for the real programs.
    std::function<int(const std::string& line)> onShell;
    std::function<RunResult(const ProgramCall& call)> onProgram;
    std::function<std::unique_ptr<Child>(const Launch& launch)> onLaunch;
};

}  // namespace kestrel
