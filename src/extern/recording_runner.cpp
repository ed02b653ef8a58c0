#include "extern/recording_runner.h"

namespace kestrel {

int RecordingRunner::runShell(const std::string& line) {
    shellLines.push_back(line);
    return onShell ? onShell(line) : shellStatus;
}

RunResult RecordingRunner::startProgram(const std::string& program, const std::vector<std::string>& args) {
    const ProgramCall call{program, args};
    programCalls.push_back(call);
    return onProgram ? onProgram(call) : programResult;
}

}  // namespace kestrel
