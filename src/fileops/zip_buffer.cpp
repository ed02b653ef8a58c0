#include "fileops/zip_buffer.h"

#include "fileops/paste_checks.h"
#include "fileops/paste_guard.h"
#include "frame/child_path.h"
#include "frame/outside_program.h"
#include "frame/status_message.h"
#include "extern/programs.h"

namespace kestrel {

std::vector<std::string> zipArguments(const std::string& directory, const CopyKillBuffer& buffer) {
    std::vector<std::string> args{selectedChildPath(directory, "temp.zip", false)};
    for (int i = 1; i <= buffer.count; ++i) args.push_back(buffer.paths[i]);
    return args;
}

Next zipBuffer(App& app) {
    Screen& s = app.screen;
    showPlaced(app, kWaitingForProgram);
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, "defaultarchiver ");
    s.locate(28, 2);
    s.printText(app.selectedPath);
    s.flush();
    // Picks that are gone are left out and said; the archiver gets the rest.
    std::vector<std::string> args = zipArguments(app.selectedPath, app.buffer), vanished;
    std::vector<std::string> kept = existingPaths(std::vector<std::string>(args.begin() + 1, args.end()), &vanished);
    kept.insert(kept.begin(), args.front());
    const ProgramEnd end = runProgram(app, Launch::direct(std::string(kArchiver), kept));
    s.sleep(50);
    clearWaitingForProgram(app);
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    // When nothing was made the picks are kept, to be zipped again.
    if (end.failed()) showFailure(app, "Zip failed", failureReason(end));
    else app.buffer.clear();
    sayLeftOut(app, vanished);
    return Next::Reload;
}

}  // namespace kestrel
