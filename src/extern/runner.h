#pragma once
// The one seam through which Kestrel runs other programs. Both ways wait for
// the program to end; while it runs the calling loop does not poll, so keys
// typed meanwhile stay queued for the screen shown afterwards.
//
// The product uses RealRunner. Tests use RealRunner against temporary
// directories wherever the real utility exists, and RecordingRunner
// (recording_runner.h) for programs that cannot exist on a test machine:
// the associated programs under /usr/local/bin, mount, lsblk of real disks.
#include <string>
#include <vector>

namespace kestrel {

struct RunResult {
    enum class Outcome {
        Exited,      // the program ran and exited; status holds its exit status
        NotStarted,  // missing, not executable, or not a program the kernel can run
        Signaled,    // ended by a signal; status holds the signal number
    };
    Outcome outcome = Outcome::NotStarted;
    int status = 0;

    static RunResult exited(int status) { return {Outcome::Exited, status}; }
    static RunResult notStarted() { return {Outcome::NotStarted, 0}; }
    static RunResult signaled(int signal) { return {Outcome::Signaled, signal}; }
    // Started, and exited with status 0.
    bool succeeded() const { return outcome == Outcome::Exited && status == 0; }
    bool operator==(const RunResult&) const = default;
};

class Runner {
public:
    virtual ~Runner() = default;

    // Hands the line to /bin/sh -c and waits. Returns the exit status, 128 +
    // the signal number when the shell was killed (as a shell reports it), or
    // -1 when the shell could not be started. Build the line with
    // commandLine() (quote.h). A line holding a NUL byte is refused with -1:
    // the shell would see only the part before it, which is not what was
    // composed.
    virtual int runShell(const std::string& line) = 0;

    // Starts the program directly, without a shell, and waits. The program is
    // a path; it is not looked up in PATH. argv[0] is the program path, then
    // one argument per element of args, each passed byte for byte, so any file
    // name is safe here. An argument holding a NUL byte cannot be passed at
    // all, so the program is then not started.
    virtual RunResult startProgram(const std::string& program, const std::vector<std::string>& args) = 0;

    // The same with standard input from /dev/null: for cp and rm, which must
    // never wait for an answer typed on a terminal (rm asks before removing a
    // write-protected file when its input is one).
    virtual RunResult startProgramWithoutInput(const std::string& program, const std::vector<std::string>& args) {
        return startProgram(program, args);
    }

    // The same with an argument string, split as splitArguments describes
    // (arguments.h). Only for fixed text; file names go in the vector form.
    // (A separate name rather than an overload: a braced list of two string
    // literals would otherwise also fit std::string's iterator-pair
    // constructor.)
    RunResult startProgramArgString(const std::string& program, const std::string& argString);
};

// Runs programs for real. The child inherits standard input, output and
// error, so the programs' own complaints reach Kestrel's standard error as
// they would from a shell; every other descriptor is closed in the child,
// whether or not it was opened close-on-exec, and the signal mask and the
// dispositions of the standard signals are reset to the defaults.
class RealRunner final : public Runner {
public:
    int runShell(const std::string& line) override;
    RunResult startProgram(const std::string& program, const std::vector<std::string>& args) override;
    RunResult startProgramWithoutInput(const std::string& program, const std::vector<std::string>& args) override;

private:
    RunResult start(const std::string& program, const std::vector<std::string>& args, bool withoutInput);
};

}  // namespace kestrel
