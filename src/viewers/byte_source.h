#pragma once
// Where the viewer takes the bytes of the file it shows. The viewer asks for
// one byte at a time by its 1-based index, the way a page is laid out, so a
// source only has to answer that question quickly for the page at hand.
//
// FileByteSource is what Kestrel uses: it opens the file at once whatever its
// size and reads the blocks a page needs on demand through a small cache, so
// a file of many gigabytes costs a few hundred kilobytes. MemoryByteSource
// holds every byte in memory; it is the straightforward reference the
// on-demand reader is measured and tested against.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The file's length as far as it can still be read. It is fixed when the
    // file is opened and only ever lowered: a file that shrinks while it is
    // shown ends where its bytes ran out.
    virtual std::int64_t size() const = 0;
    // The byte at `index` (1 to size()), or -1 when it cannot be read.
    virtual int at(std::int64_t index) = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}
    // Reads the whole file into memory; a file that cannot be read is empty.
    static MemoryByteSource readWholeFile(const std::string& path);
    // Reads at most `length` bytes of an open file from its start.
    static MemoryByteSource readFrom(int fd, std::int64_t length);

    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    int at(std::int64_t index) override {
        if (index < 1 || index > size()) return -1;
        return static_cast<unsigned char>(bytes_[static_cast<size_t>(index - 1)]);
    }

private:
    std::string bytes_;
};

class FileByteSource final : public ByteSource {
public:
    static constexpr std::int64_t kBlockSize = 64 * 1024;
    static constexpr int kBlockCount = 4;

    // Opens `path` for reading. A file that cannot be opened, or that has no
    // length (a FIFO, a character device), has size 0.
    explicit FileByteSource(const std::string& path);
    // Takes over an open descriptor.
    explicit FileByteSource(int fd);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::int64_t size() const override { return size_; }
    int at(std::int64_t index) override;

    // Reads from the file so far, for tests of the cache.
    std::int64_t blockReads() const { return reads_; }

private:
    struct Block {
        std::int64_t offset = -1;  // file offset of the first byte, -1 when unused
        std::int64_t length = 0;
        std::uint64_t lastUse = 0;
        std::vector<unsigned char> bytes;
    };
    Block* load(std::int64_t offset);

    int fd_ = -1;
    std::int64_t size_ = 0;
    Block blocks_[kBlockCount];
    Block* recent_ = nullptr;
    std::uint64_t useClock_ = 0;
    std::int64_t reads_ = 0;
};

// Files up to this size are read whole when the viewer opens, so it shows
// the file as it was then even if it is rewritten or cut short meanwhile.
constexpr std::int64_t kWholeReadLimit = std::int64_t{64} << 20;

// The viewer's source for `path`: a snapshot of a file up to kWholeReadLimit,
// an on-demand reader of a larger one (its size taken at open, see
// docs/viewer-snapshot.md). A terminal device is never adopted as the
// controlling terminal, and a FIFO never waited on.
std::unique_ptr<ByteSource> openForViewing(const std::string& path);

}  // namespace kestrel
