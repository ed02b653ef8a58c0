#include "app/program_dir.h"

#include <unistd.h>

namespace kestrel {

std::optional<std::string> unwritableDirNote(const std::string& dir) {
    if (access(dir.c_str(), W_OK | X_OK) == 0) return std::nullopt;
    return "kestrel: cannot write to " + dir + ": settings (Kestrel.cfg) and reports will not be saved\n";
}

}  // namespace kestrel
