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

std::uint64_t EntryRecord::dateKey() const { return storedDate == kStoredUnknown ? kUnknownDateKey : storedDate; }
void EntryRecord::setDateKey(std::uint64_t key) { storedDate = key == kUnknownDateKey ? kStoredUnknown : key; }

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The civil date of a day count from 1970-01-01 (proleptic Gregorian).
void civilFromDays(std::int64_t z, std::tm& out) {
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    out.tm_year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0) - 1900);
    out.tm_mon = static_cast<int>(month - 1);
    out.tm_mday = static_cast<int>(day);
}

}  // namespace

// A day whose start, middle and end have the same offset from UTC has it
// throughout (no zone changes its offset and back within a day); its local
// times are then the UTC time moved by that offset, without the C library's
// lock and search. Other days ask the C library for every time.
std::uint64_t LocalDates::keyOf(std::time_t t) {
    constexpr std::int64_t kDay = 86400;
    const std::int64_t day = floorDiv(t, kDay);
    if (day < -kFarDays || day > kFarDays) return dateKey(EntryFacts{true, 0, 0, 0, t, 0});  // the C library decides
    if (days_.empty()) days_.assign(kDays, Day{});
    Day& d = days_[static_cast<std::size_t>(day) % kDays];
    if (d.day != day) {
        const std::time_t first = static_cast<std::time_t>(day * kDay);
        std::tm a{}, b{}, c{};
        const std::time_t middle = first + kDay / 2, last = first + kDay - 1;
        const bool steady = localtime_r(&first, &a) && localtime_r(&middle, &b) && localtime_r(&last, &c) &&
                            a.tm_gmtoff == b.tm_gmtoff && b.tm_gmtoff == c.tm_gmtoff;
        d.day = static_cast<std::int32_t>(day);
        d.offset = steady ? static_cast<std::int32_t>(a.tm_gmtoff) : kUnsteady;
    }
    std::tm local{};
    if (d.offset == kUnsteady) {
        if (localtime_r(&t, &local) == nullptr) return kUnknownDateKey;
        return kestrel::keyOf(local);
    }
    const std::int64_t seconds = static_cast<std::int64_t>(t) + d.offset;
    const std::int64_t days = floorDiv(seconds, kDay), inDay = seconds - days * kDay;
    civilFromDays(days, local);
    local.tm_hour = static_cast<int>(inDay / 3600);
    local.tm_min = static_cast<int>(inDay / 60 % 60);
    return kestrel::keyOf(local);
}

void describeKindAndSize(EntryRecord& record, const EntryFacts& facts, uid_t euid, gid_t egid) {
    const bool isDir = facts.known && S_ISDIR(facts.mode);
    std::uint8_t flags = 0;
    if (isDir) flags |= EntryRecord::kIsDir;
    if (facts.known && !writableForClass(facts, euid, egid)) flags |= EntryRecord::kReadOnly;
    if (facts.known && isSystemKind(facts.mode)) flags |= EntryRecord::kSystem;
    if (!isDir) flags |= EntryRecord::kArchive;
    record.flags = flags & 15;
    record.size = isDir ? 0 : facts.size;
}

void describeEntry(EntryRecord& record, const EntryFacts& facts, uid_t euid, gid_t egid) {
    describeKindAndSize(record, facts, euid, egid);
    record.setDateKey(dateKey(facts));
}

void addEntry(DirList& list, std::string_view name, const EntryFacts& facts, uid_t euid, gid_t egid) {
    const std::uint32_t at = list.addName(name);
    describeEntry(list.records()[at], facts, euid, egid);
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
    row += dateTextOfKey(r.dateKey());
}

std::string parentRowText() {
    std::string row = "..";
    padTo(row, kRowWidth);
    return row;
}

}  // namespace kestrel
