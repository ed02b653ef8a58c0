#include "frame/settings.h"

#include "frame/settings_file.h"
#include "frame/trim.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <vector>

namespace kestrel {

int leadingNumber(const std::string& line) {
    // Leading blanks, a sign, digits with one decimal point, an exponent.
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    const size_t mantissa = i;
    bool digits = false;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) { ++i; digits = true; }
    if (i < line.size() && line[i] == '.') {
        ++i;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) { ++i; digits = true; }
    }
    if (!digits || i == mantissa) return 0;
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
        size_t j = i + 1;
        if (j < line.size() && (line[j] == '+' || line[j] == '-')) ++j;
        if (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) {
            while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) ++j;
            i = j;
        }
    }
    const double value = std::strtod(line.substr(start, i - start).c_str(), nullptr);
    const double rounded = std::nearbyint(value);  // the default rounding mode: ties to even
    if (!(rounded > INT_MIN && rounded < INT_MAX)) return 0;
    return static_cast<int>(rounded);
}

Settings parseSettings(const std::string& text) {
    std::vector<std::string> lines;
    // Lines end at each line feed; a last line without one still counts.
    // (No string stream: it would wake the whole C++ locale machinery at start-up.)
    for (std::size_t at = 0; lines.size() < 4 && at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    lines.resize(4);
    Settings s;
    s.BigSmall = leadingNumber(lines[0]);
    s.BackGround = leadingNumber(lines[1]);
    if (s.BigSmall != 0 && s.BigSmall != 1) s.BigSmall = 0;
    if (s.BackGround < 0 || s.BackGround > 3) s.BackGround = 0;
    s.line3 = lines[2];
    s.path = trimSpaces(lines[2]);
    s.SortList = leadingNumber(lines[3]);
    return s;
}

Settings readSettingsFile(const std::string& file) { return parseSettings(readSettingsText(file).text); }

std::string startPathFromSettings(const Settings& settings, const std::string& workingDir) {
    const auto absolute = [&](const std::string& p) {
        if (p.empty() || p.front() == '/' || workingDir.empty()) return p;
        return (workingDir == "/" ? std::string() : workingDir) + "/" + p;
    };
    struct stat st {};
    const std::string asItStands = absolute(settings.line3);
    if (!settings.line3.empty() && settings.line3.find('\0') == std::string::npos &&
        stat(asItStands.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return asItStands;
    return absolute(settings.path);
}

std::string formatSettings(int bigSmall, int backGround, const std::string& selectedPath, int sortList) {
    std::string path = selectedPath;
    const auto lineBreak = path.find_first_of("\n\r");
    if (lineBreak != std::string::npos) {
        const auto slash = path.rfind('/', lineBreak);
        path = (slash == std::string::npos || slash == 0) ? "/" : path.substr(0, slash);
    }
    return std::to_string(bigSmall) + " BigSmall\n" + std::to_string(backGround) + " BackGround\n" + path + "\n" +
           std::to_string(sortList) + " SortList\n";
}

std::string settingsFilePath(const std::string& exeDir) {
    return (exeDir == "/" ? std::string() : exeDir) + "/Kestrel.cfg";
}

}  // namespace kestrel
