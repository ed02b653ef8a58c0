#include "extern/arguments.h"

namespace kestrel {

std::vector<std::string> splitArguments(std::string_view argString) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;  // separate from current.empty(): "" is an argument
    bool inQuotes = false;
    for (const char c : argString) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inArgument) args.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) args.push_back(std::move(current));
    return args;
}

}  // namespace kestrel
