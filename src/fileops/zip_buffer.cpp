#include "fileops/zip_buffer.h"

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
    s.printGlyphs(app.selectedPath);
    s.flush();
    const ProgramEnd end = runProgram(app, Launch::direct(std::string(kArchiver), zipArguments(app.selectedPath, app.buffer)));
    s.sleep(50);
    clearWaitingForProgram(app);
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    // When nothing was made the picks are kept, to be zipped again.
    if (end.failed()) showFailure(app, "Zip failed", failureReason(end));
    else app.buffer.clear();
    return Next::Reload;
}

}  // namespace kestrel
