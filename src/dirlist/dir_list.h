#pragma once
// The Directory list: the one in-memory picture of the directory the browser
// shows. Every screen reads rows from it, every file command takes names from
// it, and it is rebuilt from scratch (and re-sorted) at every load.
//
// Storage is compact: every entry is a small fixed record (what its row shows,
// already reduced to numbers and flags, plus its sort keys) and its name lives
// in one shared arena. A row's 78-column text is written only when someone
// asks for it (the 19 rows on screen, the cursor row), and kept until the next
// load so the reference handed out stays valid.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dirlist/pod_array.h"
#include "screen/clock.h"

namespace kestrel {

// What a row shows about one entry, reduced to numbers and flags: computed
// once, by the loader, with its status. 20 bytes; the sort's name keys are
// taken from the name arena when a sort needs them.
#pragma pack(push, 4)
struct EntryRecord {
    std::uint64_t size = 0;  // the size column's value (0 for a directory or an unreadable entry)
    // The date text packed so that numbers order like the texts (34 bits; all ones: the unknown date).
    std::uint64_t storedDate : 34 = 0;
    std::uint64_t nameLength : 16 = 0;
    std::uint64_t flags : 4 = 0;  // kIsDir, kReadOnly, kSystem, kArchive
    std::uint32_t nameAt = 0;     // where the name starts in the arena (it ends with a NUL)

    static constexpr std::uint8_t kIsDir = 1, kReadOnly = 2, kSystem = 4, kArchive = 8;
    static constexpr std::uint64_t kStoredUnknown = (std::uint64_t{1} << 34) - 1;
    std::uint64_t dateKey() const;  // as dateKey(EntryFacts) gives it
    void setDateKey(std::uint64_t key);
};
#pragma pack(pop)

struct DirList {
    // Row text / name by index; any index outside the list gives an empty string, so screen code can index
    // without knowing the capacity. Row 1 is the parent row, rows count+1..count+19 are 78 spaces. The
    // reference stays valid until the next load (or a setRow/setName of that index).
    const std::string& row(int i) const;
    const std::string& name(int i) const;
    // Other screens (the disks screen) put rows of their own into the list; a row written here wins over
    // the loaded one until the next load.
    void setRow(int i, std::string text);
    void setName(int i, std::string text);

    int count = 1;  // the entry count (index of the last entry; the parent row counts)
    std::string directory;  // the path the list was loaded from, as given

    // For the loader and the sort.
    void clear();
    std::uint32_t addName(std::string_view name);  // appends an entry with this name; returns its record index
    PodArray<EntryRecord>& records() { return records_; }
    const PodArray<EntryRecord>& records() const { return records_; }
    PodArray<std::uint32_t>& order() { return order_; }  // order()[i - 2] = the record shown in row i
    const char* nameData(const EntryRecord& r) const { return arena_.data() + r.nameAt; }
    std::string_view nameOf(const EntryRecord& r) const { return {nameData(r), r.nameLength}; }
    // Writes row i's text into `out` without keeping it (for scans over the whole list).
    void rowInto(int i, std::string& out) const;
    std::size_t arenaBytes() const { return arena_.size(); }
    // Drops the row texts and names written so far (and those set by other screens): the order changed.
    void forgetShownRows() {
        rows_.clear();
        names_.clear();
    }

    // Write-through element access kept for screens that assign rows by index (`list.rowText[i] = text`).
    class Column {
      public:
        std::string& operator[](int i);
        const std::string& operator[](int i) const;

      private:
        friend struct DirList;
        Column(DirList& list, bool rows) : list_(&list), rows_(rows) {}
        DirList* list_;
        bool rows_;
    };
    Column rowText{*this, true};
    Column names{*this, false};

    DirList() = default;
    DirList(const DirList& other);
    DirList& operator=(const DirList& other);

  private:
    const EntryRecord* recordAt(int i) const;  // the loaded entry shown in row i, if any

    PodArray<EntryRecord> records_;
    PodArray<std::uint32_t> order_;
    PodArray<char> arena_;
    int loaded_ = 0;  // entries loaded (rows 2..loaded_+1); blank rows follow them
    mutable std::unordered_map<int, std::string> rows_, names_;  // written on demand, or set by setRow/setName
};

// The stored SortList integer; values outside 1..4 sort like Name.
enum class SortMode { Name = 1, Type = 2, Size = 3, Date = 4 };

constexpr int kRowWidth = 78;
constexpr int kBlankRowsAfterList = 19;
// Other screens (the disks screen) write device rows into the list, so
// indices up to the classic 10,000 always answer (an empty row when unused).
constexpr int kMinimumSlots = 10001;

bool isParentRow(const std::string& row);  // begins with ".."
bool isDirRow(const std::string& row);     // columns 39..42 == " dir"
bool isFileRow(const std::string& row);    // columns 39..42 == "file"

// What the loader learned about one entry, already reduced to the facts the
// row shows. `known` is false when the entry's status could not be read (a
// dangling link, an entry removed while listing).
struct EntryFacts {
    bool known = false;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    std::time_t mtime = 0;
    std::uint64_t size = 0;  // the length a reader would find; 0 when it cannot be opened
};

// The pieces of a row, each pure.
std::string attributeLetters(const EntryFacts& facts, uid_t euid, gid_t egid);  // always 5 characters
std::string sizeText(std::uint64_t size);                                       // "" never; 0 is " "
std::string dateText(const std::tm& local);                                     // 18 characters
std::string dateText(const EntryFacts& facts);  // local time of mtime, or the unknown-date text
extern const char* const kUnknownDate;          // "XXXX-XX-XX XX:XXAM"

// The date text as a number that orders exactly like the text; the unknown
// date is the largest ("X" sorts after every digit).
std::uint64_t dateKey(const EntryFacts& facts);
std::string dateTextOfKey(std::uint64_t key);
constexpr std::uint64_t kUnknownDateKey = ~std::uint64_t{0};

// The full row text: name (37), kind (6), letters (5), size (10, longer kept
// whole), two spaces, date (18).
std::string rowText(const std::string& name, const EntryFacts& facts, uid_t euid, gid_t egid);
std::string parentRowText();  // ".." and 76 spaces

// The date keys of one load's local times: asks the C library a few times
// per day of modification times rather than once per entry.
class LocalDates {
  public:
    std::uint64_t keyOf(std::time_t t);  // as dateKey() of a known status with this mtime

  private:
    // A UTC day (days since 1970) and its offset from UTC in seconds, or kUnsteady.
    struct Day {
        std::int32_t day = INT32_MIN;
        std::int32_t offset = 0;
    };
    static constexpr std::int32_t kUnsteady = INT32_MIN;
    static constexpr std::int64_t kFarDays = 1 << 30;
    static constexpr std::size_t kDays = 16384;  // 45 years of days without two sharing a slot
    std::vector<Day> days_;
};

// Fills a record's row facts (its name is already in the list); the loader
// sets the dates of a whole load afterwards, through one LocalDates.
void describeEntry(EntryRecord& record, const EntryFacts& facts, uid_t euid, gid_t egid);
void describeKindAndSize(EntryRecord& record, const EntryFacts& facts, uid_t euid, gid_t egid);
// Appends one entry as the loader would (for tests and tools that build lists).
void addEntry(DirList& list, std::string_view name, const EntryFacts& facts, uid_t euid, gid_t egid);
// Writes the row text of a record into `out`.
void writeRow(const DirList& list, const EntryRecord& record, std::string& out);

// Sorts rows 2..count by the integer sort setting; row texts and names move
// together, row 1 never moves. Lists of `keyedFrom` rows or more are sorted
// as compact keys on two cores (same order; the parameter is for tests).
constexpr std::size_t kKeyedSortFrom = 50000;
void sortList(DirList& list, int sortList, std::size_t keyedFrom = kKeyedSortFrom);

// Loads `path` into `list`, sorted by `sortList` (the integer setting). Changes the process working directory to
// `path` (when possible). Its three 20 ms pauses go through `clock.sleepMs(20)`.
void loadDirectory(DirList& list, const std::string& path, int sortList, Clock& clock);

// The enumeration step on its own: appends every visible entry of the open
// directory `dirFd` to `list`, reading status relative to that descriptor, so
// it gives the same rows wherever the working directory happens to be. The
// status calls are shared among `threads` threads (0: one per core); the rows
// do not depend on how many.
void appendEntries(DirList& list, int dirFd, int threads = 0);

}  // namespace kestrel
