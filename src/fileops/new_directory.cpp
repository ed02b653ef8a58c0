#include "fileops/new_directory.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "frame/line_input.h"
#include "frame/child_path.h"
#include "frame/outside_program.h"

namespace kestrel {

Next newDirectory(App& app) {
    app.screen.setColors(0, app.backgroundColour);
    // The call takes the name as it is: no shell ever sees it, so a name
    // such as "-p" or "*" is just a name.
    if (const auto name = lineInput(app, LineInputKind::NewDirectory, app.selectedPath))
        if (::mkdir(selectedChildPath(app.selectedPath, *name, false).c_str(), 0775) != 0)
            showFailure(app, "New Directory failed", std::strerror(errno));
    return Next::Reload;
}

}  // namespace kestrel
