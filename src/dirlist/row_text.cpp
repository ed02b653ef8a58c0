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

namespace {

// Bits of a date key, from the least significant: PM (1), minute (6),
// hour on the 12-hour clock (4), day (5), month (4), year (14). Comparing the
// numbers compares the fields in the order the text puts them.
std::uint64_t keyOf(const std::tm& t) {
    const int year = t.tm_year + 1900;
    if (year < 0 || year > 9999) return kUnknownDateKey;
    int hour12 = t.tm_hour % 12;
    if (hour12 == 0) hour12 = 12;
    return static_cast<std::uint64_t>(year) << 20 | static_cast<std::uint64_t>(t.tm_mon + 1) << 16 |
           static_cast<std::uint64_t>(t.tm_mday) << 11 | static_cast<std::uint64_t>(hour12) << 7 |
           static_cast<std::uint64_t>(t.tm_min) << 1 | (t.tm_hour >= 12 ? 1u : 0u);
}

std::uint64_t bigEndianPrefix(std::string_view name) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        unsigned char c = i < name.size() ? static_cast<unsigned char>(name[i]) : ' ';
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        prefix = prefix << 8 | c;
    }
    return prefix;
}

}  // namespace

std::uint64_t dateKey(const EntryFacts& facts) {
    if (!facts.known) return kUnknownDateKey;
    std::tm local{};
    if (localtime_r(&facts.mtime, &local) == nullptr) return kUnknownDateKey;
    return keyOf(local);
}

std::string dateTextOfKey(std::uint64_t key) {
    if (key == kUnknownDateKey) return kUnknownDate;
    std::string text = "0000-00-00 00:00AM";
    auto put2 = [&text](std::size_t at, std::uint64_t value) {
        text[at] = static_cast<char>('0' + value / 10 % 10);
        text[at + 1] = static_cast<char>('0' + value % 10);
    };
    const std::uint64_t year = key >> 20;
    put2(0, year / 100);
    put2(2, year % 100);
    put2(5, key >> 16 & 15);
    put2(8, key >> 11 & 31);
    put2(11, key >> 7 & 15);
    put2(14, key >> 1 & 63);
    if (key & 1) text[16] = 'P';
    return text;
}

std::string dateText(const std::tm& local) { return dateTextOfKey(keyOf(local)); }
std::string dateText(const EntryFacts& facts) { return dateTextOfKey(dateKey(facts)); }

std::string rowText(const std::string& name, const EntryFacts& facts, uid_t euid, gid_t egid) {
    DirList one;
    addEntry(one, name, facts, euid, egid);
    std::string row;
    writeRow(one, one.records()[0], row);
    return row;
}

void describeEntry(const DirList& list, EntryRecord& record, const EntryFacts& facts, uid_t euid, gid_t egid) {
    const bool isDir = facts.known && S_ISDIR(facts.mode);
    std::uint8_t flags = 0;
    if (isDir) flags |= EntryRecord::kIsDir;
    if (facts.known && !writableForClass(facts, euid, egid)) flags |= EntryRecord::kReadOnly;
    if (facts.known && isSystemKind(facts.mode)) flags |= EntryRecord::kSystem;
    if (!isDir) flags |= EntryRecord::kArchive;
    record.flags = flags;
    record.size = isDir ? 0 : facts.size;
    record.dateKey = dateKey(facts);
    record.namePrefix = bigEndianPrefix(list.nameOf(record));
}

void addEntry(DirList& list, std::string_view name, const EntryFacts& facts, uid_t euid, gid_t egid) {
    const std::uint32_t at = list.addName(name);
    describeEntry(list, list.records()[at], facts, euid, egid);
}

void writeRow(const DirList& list, const EntryRecord& r, std::string& row) {
    row.clear();
    row.reserve(kRowWidth + 10);
    row.append(list.nameOf(r).substr(0, kNameWidth));
    padTo(row, kNameWidth);
    row += (r.flags & EntryRecord::kIsDir) ? "  dir " : " file ";
    const std::size_t lettersAt = row.size();
    if (r.flags & EntryRecord::kReadOnly) row += 'r';
    // "h" would come here, but hidden names are never listed.
    if (r.flags & EntryRecord::kSystem) row += 's';
    if (r.flags & EntryRecord::kArchive) row += 'a';
    padTo(row, lettersAt + kLettersWidth);
    const std::size_t sizeAt = row.size();
    row += sizeText(r.size);
    padTo(row, sizeAt + kSizeWidth);  // never cut: a longer size moves the date right
    row += "  ";
    row += dateTextOfKey(r.dateKey);
}

std::string parentRowText() {
    std::string row = "..";
    padTo(row, kRowWidth);
    return row;
}

}  // namespace kestrel
