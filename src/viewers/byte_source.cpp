#include "viewers/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kestrel {

namespace {

// The length a whole-file read would see: regular files and block devices
// have one; pipes and character devices would never end, so they count as
// empty rather than being read for ever.
std::int64_t lengthOf(int fd) {
    struct stat st{};
    if (fstat(fd, &st) != 0) return 0;
    if (S_ISREG(st.st_mode)) return st.st_size;
    if (S_ISBLK(st.st_mode)) {
        const off_t end = lseek(fd, 0, SEEK_END);
        return end > 0 ? end : 0;
    }
    return 0;
}

// Reads up to `length` bytes at `offset`; returns how many arrived before the
// end of the file or an error.
std::int64_t readAt(int fd, unsigned char* out, std::int64_t length, std::int64_t offset) {
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t n = pread(fd, out + done, static_cast<size_t>(length - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

}  // namespace

// Non-blocking so that opening a FIFO cannot hang the viewer; O_NOCTTY so
// that viewing a terminal never makes it Kestrel's controlling terminal,
// whose hang-up would end Kestrel without saving.
static int openForReading(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY); }

MemoryByteSource MemoryByteSource::readFrom(int fd, std::int64_t length) {
    std::string bytes(static_cast<size_t>(length), '\0');
    bytes.resize(static_cast<size_t>(readAt(fd, reinterpret_cast<unsigned char*>(bytes.data()), length, 0)));
    return MemoryByteSource(std::move(bytes));
}

MemoryByteSource MemoryByteSource::readWholeFile(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0) return MemoryByteSource(std::string());
    MemoryByteSource source = readFrom(fd, lengthOf(fd));
    ::close(fd);
    return source;
}

FileByteSource::FileByteSource(const std::string& path) : FileByteSource(openForReading(path)) {}

FileByteSource::FileByteSource(int fd) : fd_(fd) {
    if (fd_ >= 0) size_ = lengthOf(fd_);
}

std::unique_ptr<ByteSource> openForViewing(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0) return std::make_unique<MemoryByteSource>(std::string());
    const std::int64_t length = lengthOf(fd);
    if (length > kWholeReadLimit) return std::make_unique<FileByteSource>(fd);
    auto whole = std::make_unique<MemoryByteSource>(MemoryByteSource::readFrom(fd, length));
    ::close(fd);
    return whole;
}

FileByteSource::~FileByteSource() {
    if (fd_ >= 0) ::close(fd_);
}

FileByteSource::Block* FileByteSource::load(std::int64_t offset) {
    Block* victim = &blocks_[0];
    for (Block& b : blocks_) {
        if (b.offset == offset) return &b;
        if (b.lastUse < victim->lastUse) victim = &b;
    }
    const std::int64_t wanted = std::min(kBlockSize, size_ - offset);
    victim->bytes.resize(static_cast<size_t>(kBlockSize));
    const std::int64_t got = readAt(fd_, victim->bytes.data(), wanted, offset);
    ++reads_;
    victim->offset = offset;
    victim->length = got;
    // A short read means the file lost its tail since it was opened: the
    // bytes are gone, and the view now ends where they ran out.
    if (got < wanted) size_ = offset + got;
    return victim;
}

int FileByteSource::at(std::int64_t index) {
    if (index < 1 || index > size_) return -1;
    const std::int64_t offset = index - 1;
    const std::int64_t blockOffset = offset - offset % kBlockSize;
    Block* b = (recent_ && recent_->offset == blockOffset) ? recent_ : load(blockOffset);
    b->lastUse = ++useClock_;
    recent_ = b;
    if (offset - blockOffset >= b->length) return -1;
    return b->bytes[static_cast<size_t>(offset - blockOffset)];
}

}  // namespace kestrel
