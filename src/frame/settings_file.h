#pragma once
// Reading and saving "Kestrel.cfg" with care for the file the person set up:
// only a regular file is read, and only a bounded amount; saving keeps the
// file's mode, owner and links and never leaves a half-written file.
#include <string>

namespace kestrel {

enum class SettingsState { Missing, Read, Unreadable };

struct SettingsText {
    SettingsState state = SettingsState::Missing;
    std::string text;
};

// Far more than four lines need (a path is at most a few KiB); a longer file
// is read only this far.
constexpr std::size_t kSettingsReadLimit = 64 * 1024;

// Reads the file without waiting on a FIFO or adopting a terminal; anything
// but a regular file (a FIFO, /dev/zero through a link) is Unreadable.
SettingsText readSettingsText(const std::string& file);

enum class SaveOutcome { Written, LeftAlone, Failed };

// Saves `content` as the settings file. A symbolic link is followed and its
// target written; a file with other hard links, or whose owner Kestrel cannot
// give a fresh file, is rewritten in place; otherwise a temporary file with
// the same mode and owner is renamed over it. A file that is not regular,
// could not be read, or may not be written is left alone. Temporary files
// left by a Kestrel that was killed mid-save are removed.
SaveOutcome saveSettingsFile(const std::string& file, const std::string& content);

}  // namespace kestrel
