// TEMPORARY stand-in until the directory loader lands.
#include "dirlist/dir_list.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>

namespace kestrel {
bool isParentRow(const std::string& row) { return row.rfind("..", 0) == 0; }
bool isDirRow(const std::string& row) { return row.size() >= 42 && row.compare(38, 4, " dir") == 0; }
bool isFileRow(const std::string& row) { return row.size() >= 42 && row.compare(38, 4, "file") == 0; }
void loadDirectory(DirList& list, const std::string& path, int, Clock& clock) {
    if (chdir(path.c_str()) != 0) {}
    clock.sleepMs(20);
    list.rowText.assign(2, "");
    list.names.assign(2, "");
    list.rowText[1] = ".." + std::string(76, ' ');
    list.names[1] = "..";
    std::vector<std::string> found;
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') found.push_back(e->d_name);
        closedir(d);
    }
    std::sort(found.begin(), found.end());
    clock.sleepMs(20);
    for (auto& n : found) {
        std::string r = n.substr(0, 37);
        r.resize(37, ' ');
        r += " file a    1          2020-01-01 01:00AM";
        list.rowText.push_back(r);
        list.names.push_back(n);
    }
    list.count = static_cast<int>(found.size()) + 1;
    clock.sleepMs(20);
    for (int i = 0; i < 19; ++i) {
        list.rowText.push_back(std::string(78, ' '));
        list.names.push_back("");
    }
}
}  // namespace kestrel
