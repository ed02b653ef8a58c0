#pragma once
// The one seam through which Kestrel runs other programs. A program is
// launched and then waited for; the caller may wait in steps and do
// something between them (show how far a copy has come). Its standard error
// is read by Kestrel, passed on to Kestrel's own and its first line kept, so
// a failure can be reported on the screen.
//
// The product uses RealRunner. Tests use RealRunner against temporary
// directories wherever the real utility exists, and RecordingRunner
// (recording_runner.h) for programs that cannot exist on a test machine:
// the associated programs under /usr/local/bin, mount, lsblk of real disks.
#include <memory>
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

// What to start.
struct Launch {
    // A program path; a name without "/" is looked up on PATH as the shell
    // would. For a shell launch, the line handed to /bin/sh -c.
    std::string program;
    std::vector<std::string> args;  // each passed byte for byte
    bool shell = false;
    // Standard input from /dev/null: for cp and rm, which must never wait
    // for an answer typed on a terminal (rm asks before removing a
    // write-protected file when its input is one).
    bool withoutInput = false;

    static Launch shellLine(std::string line) { return {std::move(line), {}, true, false}; }
    static Launch direct(std::string program, std::vector<std::string> args, bool withoutInput = false) {
        return {std::move(program), std::move(args), false, withoutInput};
    }
};

// A launched program.
class Child {
public:
    virtual ~Child() = default;
    // Waits up to `ms` (negative: as long as it takes) for the program to
    // end; true once it has.
    virtual bool wait(int ms) = 0;
    // How it ended (once wait has said so).
    virtual RunResult result() const = 0;
    // The first line it wrote to standard error, or why it could not be
    // started; empty when neither.
    virtual std::string errorLine() const = 0;
};

// A child that has already ended: what a runner returns for a program it
// could not start, and what test runners answer with.
class EndedChild final : public Child {
public:
    explicit EndedChild(RunResult result, std::string errorLine = "")
        : result_(result), errorLine_(std::move(errorLine)) {}
    bool wait(int) override { return true; }
    RunResult result() const override { return result_; }
    std::string errorLine() const override { return errorLine_; }

private:
    RunResult result_;
    std::string errorLine_;
};

class Runner {
public:
    virtual ~Runner() = default;

    // Starts the program. A line or an argument holding a NUL byte cannot be
    // passed whole, so the program is then not started (the shell would see
    // only the part before it, which is not what was composed).
    virtual std::unique_ptr<Child> launch(const Launch& launch) = 0;

    // Launches and waits. runShell returns the shell's exit status, 128 +
    // the signal number when the shell was killed (as a shell reports it),
    // or -1 when it could not be started. Build the line with commandLine()
    // (quote.h).
    int runShell(const std::string& line);
    RunResult startProgram(const std::string& program, const std::vector<std::string>& args);
    RunResult startProgramWithoutInput(const std::string& program, const std::vector<std::string>& args);
    // The same with an argument string, split as splitArguments describes
    // (arguments.h). Only for fixed text; file names go in the vector form.
    // (A separate name rather than an overload: a braced list of two string
    // literals would otherwise also fit std::string's iterator-pair
    // constructor.)
    RunResult startProgramArgString(const std::string& program, const std::string& argString);

    // Launches and waits as long as it takes.
    RunResult run(const Launch& launch);
};

// Runs programs for real. The child inherits standard input (unless
// withoutInput) and output; its standard error is a pipe that Kestrel copies
// to its own standard error as it comes, so the programs' complaints still
// reach it as they would from a shell. Every other descriptor is closed in
// the child, whether or not it was opened close-on-exec, and the signal mask
// and the dispositions of the standard signals are reset to the defaults.
class RealRunner final : public Runner {
public:
    std::unique_ptr<Child> launch(const Launch& launch) override;
};

}  // namespace kestrel
