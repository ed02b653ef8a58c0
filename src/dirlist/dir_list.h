#pragma once
// The Directory list: the one in-memory picture of the directory the browser
// shows. Every screen reads rows from it, every file command takes names from
// it, and it is rebuilt from scratch (and re-sorted) at every load.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "screen/clock.h"

namespace kestrel {

struct DirList {
    std::vector<std::string> rowText;  // index 0 unused; 1 = the parent row; count+1..count+19 blank rows of 78 spaces
    std::vector<std::string> names;    // entry names, same indices; names[1] == ".."
    int count = 1;                     // the entry count (index of the last entry; the parent row counts)
    // Row text / name by index; any index outside the storage gives an empty string, so screen code can index
    // without knowing the capacity.
    const std::string& row(int i) const;
    const std::string& name(int i) const;
};

// The stored SortList integer; values outside 1..4 sort like Name.
enum class SortMode { Name = 1, Type = 2, Size = 3, Date = 4 };

constexpr int kRowWidth = 78;
constexpr int kBlankRowsAfterList = 19;
// Other screens (the disks screen) write device rows straight into rowText, so
// the storage never shrinks below the classic 10,001 slots; it only grows.
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

// The full row text: name (37), kind (6), letters (5), size (10, longer kept
// whole), two spaces, date (18).
std::string rowText(const std::string& name, const EntryFacts& facts, uid_t euid, gid_t egid);
std::string parentRowText();  // ".." and 76 spaces

// Sorts rows 2..count by the integer sort setting; row texts and names move
// together, row 1 never moves.
void sortList(DirList& list, int sortList);

// Loads `path` into `list`, sorted by `sortList` (the integer setting). Changes the process working directory to
// `path` (when possible). Its three 20 ms pauses go through `clock.sleepMs(20)`.
void loadDirectory(DirList& list, const std::string& path, int sortList, Clock& clock);

// The enumeration step on its own: appends every visible entry of the open
// directory `dirFd` to `list`, reading status relative to that descriptor, so
// it gives the same rows wherever the working directory happens to be.
void appendEntries(DirList& list, int dirFd);

}  // namespace kestrel
