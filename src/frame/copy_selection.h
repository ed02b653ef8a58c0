#pragma once
// What C chose for the paste commands; kept until the next C, across
// changes of directory.
#include <string>

namespace kestrel {

struct CopySelection {
    std::string sourceDirectory;  // the directory paste-all copies from
    std::string sourceFile;       // the file paste copies; empty after C on a directory
    std::string copiedEntryPath;  // the entry the last C was made on
};

}  // namespace kestrel
