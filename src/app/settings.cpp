#include "app/settings.h"

#include "app/trim.h"

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
#include <fstream>
#include <sstream>
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
    std::istringstream in(text);
    for (std::string line; lines.size() < 4 && std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    lines.resize(4);
    Settings s;
    s.BigSmall = leadingNumber(lines[0]);
    s.BackGround = leadingNumber(lines[1]);
    if (s.BigSmall != 0 && s.BigSmall != 1) s.BigSmall = 0;
    if (s.BackGround < 0 || s.BackGround > 3) s.BackGround = 0;
    s.path = trimSpaces(lines[2]);
    s.SortList = leadingNumber(lines[3]);
    return s;
}

Settings readSettingsFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return parseSettings("");
    std::ostringstream text;
    text << in.rdbuf();
    return parseSettings(text.str());
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

bool writeFileAtomically(const std::string& file, const std::string& content) {
    std::string tmp = file + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    const char* p = content.data();
    size_t left = content.size();
    bool ok = true;
    while (left > 0 && ok) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) ok = errno == EINTR;
        else { p += n; left -= static_cast<size_t>(n); }
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), file.c_str()) == 0) return true;
    ::unlink(tmp.c_str());
    return false;
}

std::string settingsFilePath(const std::string& exeDir) {
    return (exeDir == "/" ? std::string() : exeDir) + "/Kestrel.cfg";
}

}  // namespace kestrel
