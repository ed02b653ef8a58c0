#include "extern/recording_runner.h"

namespace kestrel {

std::unique_ptr<Child> RecordingRunner::launch(const Launch& launch) {
    if (launch.shell) shellLines.push_back(launch.program);
    else programCalls.push_back({launch.program, launch.args});
    if (onLaunch) return onLaunch(launch);
    if (launch.shell) {
        const int status = onShell ? onShell(launch.program) : shellStatus;
        return std::make_unique<EndedChild>(status < 0 ? RunResult::notStarted() : RunResult::exited(status));
    }
    return std::make_unique<EndedChild>(onProgram ? onProgram({launch.program, launch.args}) : programResult);
}

}  // namespace kestrel
