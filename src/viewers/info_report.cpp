#include "viewers/info_report.h"

#include "frame/child_path.h"
#include "frame/outside_program.h"
#include "frame/text_file.h"
#include "extern/quote.h"
#include "viewers/viewer.h"

namespace kestrel {

namespace {

enum class Operand { None, Target };

struct ReportCommand {
    const char* program;  // Kestrel's own program text, never a path
    Operand operand;
    const char* redirect;
};

// program text, its operand, the redirection into the report
constexpr ReportCommand kReportCommands[] = {
    {"echo - FILE TYPE", Operand::None, ">"},
    {"file", Operand::Target, ">>"},
    {"echo - File STAT", Operand::None, ">>"},
    {"stat", Operand::Target, ">>"},
    {"echo - OS", Operand::None, ">>"},
    {"uname -srvmon", Operand::None, ">>"},
    {"echo - MENORY", Operand::None, ">>"},
    {"free", Operand::None, ">>"},
    {"echo - DRIVES", Operand::None, ">>"},
    {"lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN", Operand::None, ">>"},
    {"echo - SYSTEM DRIVE", Operand::None, ">>"},
    {"df", Operand::None, ">>"},
    {"echo - CPU ARCH", Operand::None, ">>"},
    {"arch", Operand::None, ">>"},
    {"echo - CPU INFO", Operand::None, ">>"},
    {"cat /proc/cpuinfo", Operand::None, ">>"},
    {"echo - PCI INFO", Operand::None, ">>"},
    {"lspci", Operand::None, ">>"},
    {"echo - USB INFO", Operand::None, ">>"},
    {"lsusb", Operand::None, ">>"},
    {"echo - DMI INFO", Operand::None, ">>"},
    {"dmidecode", Operand::None, ">>"},
};

}  // namespace

std::vector<std::string> reportLines(const std::string& target, const std::string& reportPath) {
    std::vector<std::string> lines;
    for (const ReportCommand& c : kReportCommands) {
        std::vector<Arg> args{Arg::literal(c.program)};
        if (c.operand == Operand::Target) args.push_back(Arg::word(target));
        args.push_back(Arg::literal(c.redirect));
        args.push_back(Arg::word(reportPath));
        lines.push_back(commandLine(args));
    }
    return lines;
}

Next infoReport(App& app) {
    Screen& s = app.screen;
    const std::string reportPath = app.exeDir + "/identify.txt";
    app.savedDirectoryPath = app.selectedPath;
    const std::string target = selectedChildPath(app.selectedPath, app.list.name(app.cursorIndex), false);
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, "Shell to system ");
    s.printAt(28, 2, "Display File Information");
    s.flush();
    // Only a report written now is shown: one that cannot be cleared first
    // holds an earlier run's (or another user's) text and is not run or shown.
    const bool fresh = discardFile(reportPath);
    if (fresh)
        for (const std::string& line : reportLines(target, reportPath)) runShellLine(app, line);
    s.sleep(20);
    app.selectedPath = fresh ? reportPath : "/dev/null";
    app.formatLabelText = true;
    return runViewer(app);
}

}  // namespace kestrel
