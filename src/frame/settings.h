#pragma once
// The settings file "Kestrel.cfg": four lines beside the executable.
#include <string>

namespace kestrel {

struct Settings {
    int BigSmall = 0;
    int BackGround = 0;
    std::string path;  // line 3, trimmed; empty when missing
    std::string line3;  // line 3 as it stands, without its line end
    int SortList = 0;
};

// The leading number of a line, rounded to the nearest integer with ties to
// even; 0 when the line does not start with a number.
int leadingNumber(const std::string& line);

// Parses the file's text (missing lines read as empty) and applies the clamps:
// BigSmall other than 0 or 1 and BackGround outside 0 to 3 become 0.
Settings parseSettings(const std::string& text);
// Reads the file; a missing or unreadable file gives the defaults.
Settings readSettingsFile(const std::string& file);

// The four lines as they are written at exit. A path holding a line break
// could not be read back as one line, so the nearest ancestor without one is
// written instead.
std::string formatSettings(int bigSmall, int backGround, const std::string& selectedPath, int sortList);

// The Start path that line 3 names. The line as it stands wins when it names
// an existing directory (a name may end in blanks); otherwise the trimmed
// line. A relative path is made absolute against `workingDir` once, so it
// keeps its meaning when Kestrel changes directory.
std::string startPathFromSettings(const Settings& settings, const std::string& workingDir);

std::string settingsFilePath(const std::string& exeDir);

}  // namespace kestrel
