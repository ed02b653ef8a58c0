// Formatting one Directory entry into its fixed-column row.
#include <sys/stat.h>

#include "dirlist/dir_list.h"

namespace kestrel {

const char* const kUnknownDate = "XXXX-XX-XX XX:XXAM";

namespace {
constexpr std::size_t kNameWidth = 37;
constexpr std::size_t kLettersWidth = 5;
constexpr std::size_t kSizeWidth = 10;

bool isSystemKind(mode_t mode) { return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode); }

// Write permission of the one class the effective user falls in. Root gets no
// exception on purpose: the letter describes the mode bits, not what root may do.
bool writableForClass(const EntryFacts& f, uid_t euid, gid_t egid) {
    if (f.uid == euid) return (f.mode & S_IWUSR) != 0;
    if (f.gid == egid) return (f.mode & S_IWGRP) != 0;
    return (f.mode & S_IWOTH) != 0;
}

void padTo(std::string& s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
}
}  // namespace

std::string attributeLetters(const EntryFacts& facts, uid_t euid, gid_t egid) {
    std::string letters;
    // Without a status only "not a directory" is known, so an unreadable entry
    // is a plain "a" (what its own link node would show too).
    const bool isDir = facts.known && S_ISDIR(facts.mode);
    if (facts.known && !writableForClass(facts, euid, egid)) letters += 'r';
    // "h" would come here, but hidden names are never listed.
    if (facts.known && isSystemKind(facts.mode)) letters += 's';
    if (!isDir) letters += 'a';
    padTo(letters, kLettersWidth);
    return letters;
}

std::string sizeText(std::uint64_t size) {
    if (size == 0) return " ";
    return std::to_string(size);
}

std::string dateText(const std::tm& t) {
    const int year = t.tm_year + 1900;
    // A year that does not fit four digits would push the row out of shape.
    if (year < 0 || year > 9999) return kUnknownDate;
    int hour12 = t.tm_hour % 12;
    if (hour12 == 0) hour12 = 12;
    // Written digit by digit: this runs once per entry of every listing.
    std::string text = "0000-00-00 00:00AM";
    auto put2 = [&text](std::size_t at, int value) {
        text[at] = static_cast<char>('0' + value / 10 % 10);
        text[at + 1] = static_cast<char>('0' + value % 10);
    };
    put2(0, year / 100);
    put2(2, year % 100);
    put2(5, t.tm_mon + 1);
    put2(8, t.tm_mday);
    put2(11, hour12);
    put2(14, t.tm_min);
    if (t.tm_hour >= 12) text[16] = 'P';
    return text;
}

std::string dateText(const EntryFacts& facts) {
    if (!facts.known) return kUnknownDate;
    std::tm local{};
    if (localtime_r(&facts.mtime, &local) == nullptr) return kUnknownDate;
    return dateText(local);
}

std::string rowText(const std::string& name, const EntryFacts& facts, uid_t euid, gid_t egid) {
    const bool isDir = facts.known && S_ISDIR(facts.mode);
    std::string row;
    row.reserve(kRowWidth + 10);
    row.append(name, 0, kNameWidth);
    padTo(row, kNameWidth);
    row += isDir ? "  dir " : " file ";
    row += attributeLetters(facts, euid, egid);
    std::string size = sizeText(isDir ? 0 : facts.size);
    padTo(size, kSizeWidth);  // never cut: a longer size moves the date right
    row += size;
    row += "  ";
    row += dateText(facts);
    return row;
}

std::string parentRowText() {
    std::string row = "..";
    padTo(row, kRowWidth);
    return row;
}

}  // namespace kestrel
