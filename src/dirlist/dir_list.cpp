#include "dirlist/dir_list.h"

#include <cstring>

namespace kestrel {

namespace {
const std::string kEmpty;
const std::string kBlankRow(kRowWidth, ' ');
const std::string kParentName = "..";

// Columns 39..42 of a row, 1-based.
bool kindColumnsAre(const std::string& row, const char* four) {
    return row.size() >= 42 && row.compare(38, 4, four) == 0;
}
}  // namespace

DirList::DirList(const DirList& other)
    : count(other.count), directory(other.directory), records_(other.records_), order_(other.order_), arena_(other.arena_),
      loaded_(other.loaded_), rows_(other.rows_), names_(other.names_) {}

DirList& DirList::operator=(const DirList& other) {
    if (this == &other) return *this;
    count = other.count;
    directory = other.directory;
    records_ = other.records_;
    order_ = other.order_;
    arena_ = other.arena_;
    loaded_ = other.loaded_;
    rows_ = other.rows_;
    names_ = other.names_;
    return *this;
}

void DirList::clear() {
    records_.clear();
    order_.clear();
    arena_.clear();
    rows_.clear();
    names_.clear();
    loaded_ = 0;
    count = 1;
}

std::uint32_t DirList::addName(std::string_view name) {
    EntryRecord r;
    r.nameAt = static_cast<std::uint32_t>(arena_.size());
    r.nameLength = static_cast<std::uint16_t>(name.size());
    char* at = arena_.grow(name.size() + 1);
    std::memcpy(at, name.data(), name.size());
    at[name.size()] = '\0';  // the status calls take the name straight from the arena
    const auto index = static_cast<std::uint32_t>(records_.size());
    records_.push_back(r);
    order_.push_back(index);
    loaded_ = static_cast<int>(records_.size());
    count = loaded_ + 1;
    return index;
}

const EntryRecord* DirList::recordAt(int i) const {
    if (i < 2 || i > loaded_ + 1) return nullptr;
    return &records_[order_[static_cast<std::size_t>(i - 2)]];
}

void DirList::rowInto(int i, std::string& out) const {
    if (const auto found = rows_.find(i); found != rows_.end()) {
        out = found->second;
    } else if (const EntryRecord* r = recordAt(i)) {
        writeRow(*this, *r, out);
    } else {
        out = row(i);
    }
}

const std::string& DirList::row(int i) const {
    if (const auto found = rows_.find(i); found != rows_.end()) return found->second;
    if (const EntryRecord* r = recordAt(i)) {
        std::string& text = rows_[i];
        writeRow(*this, *r, text);
        return text;
    }
    if (i == 1) {
        static const std::string parent = parentRowText();
        return parent;
    }
    if (i > loaded_ + 1 && i <= loaded_ + 1 + kBlankRowsAfterList) return kBlankRow;
    return kEmpty;
}

const std::string& DirList::name(int i) const {
    if (const auto found = names_.find(i); found != names_.end()) return found->second;
    if (const EntryRecord* r = recordAt(i)) return names_[i] = std::string(nameOf(*r));
    if (i == 1) return kParentName;
    return kEmpty;
}

void DirList::setRow(int i, std::string text) { rows_[i] = std::move(text); }
void DirList::setName(int i, std::string text) { names_[i] = std::move(text); }

std::string& DirList::Column::operator[](int i) {
    // Pinned from here on: the caller may write through the reference.
    if (rows_) {
        if (auto found = list_->rows_.find(i); found != list_->rows_.end()) return found->second;
        std::string text = list_->row(i);
        return list_->rows_[i] = std::move(text);
    }
    if (auto found = list_->names_.find(i); found != list_->names_.end()) return found->second;
    std::string text = list_->name(i);
    return list_->names_[i] = std::move(text);
}

const std::string& DirList::Column::operator[](int i) const { return rows_ ? list_->row(i) : list_->name(i); }

bool isParentRow(const std::string& row) { return row.size() >= 2 && row[0] == '.' && row[1] == '.'; }
bool isDirRow(const std::string& row) { return kindColumnsAre(row, " dir"); }
bool isFileRow(const std::string& row) { return kindColumnsAre(row, "file"); }

}  // namespace kestrel
