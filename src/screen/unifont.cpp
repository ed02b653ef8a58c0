#include "screen/unifont.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kestrel {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The hexadecimal number at the start of `text`, up to a ':'; -1 when none.
long leadingHex(std::string_view text) {
    long value = 0;
    std::size_t i = 0;
    for (; i < text.size() && i < 8 && hexDigit(text[i]) >= 0; ++i) value = value * 16 + hexDigit(text[i]);
    return i > 0 && i < text.size() && text[i] == ':' ? value : -1;
}

constexpr std::size_t kCacheLimit = 4096;

}  // namespace

bool parseUnifontLine(std::string_view line, char32_t& code, WideGlyph& glyph) {
    const long at = leadingHex(line);
    if (at < 0) return false;
    const std::string_view bits = line.substr(line.find(':') + 1);
    const std::size_t digits = std::min(bits.find_first_of("\r\n"), bits.size());
    if (digits != 32 && digits != 64) return false;
    const int perRow = static_cast<int>(digits / 16);  // 2 or 4 hex digits
    glyph.cells = perRow / 2;
    for (int r = 0; r < 16; ++r) {
        unsigned value = 0;
        for (int d = 0; d < perRow; ++d) {
            const int v = hexDigit(bits[static_cast<std::size_t>(r * perRow + d)]);
            if (v < 0) return false;
            value = value * 16 + static_cast<unsigned>(v);
        }
        glyph.rows[static_cast<std::size_t>(r)] = static_cast<std::uint16_t>(perRow == 2 ? value << 8 : value);
    }
    code = static_cast<char32_t>(at);
    return true;
}

Unifont::~Unifont() { close(); }

void Unifont::close() {
    if (data_) munmap(const_cast<char*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    opened_ = combiningRead_ = false;
    combining_.clear();
    found_.clear();
    missing_.clear();
}

void Unifont::use(std::string hexPath, std::string combiningPath) {
    close();
    hexPath_ = std::move(hexPath);
    combiningPath_ = std::move(combiningPath);
}

// Binary search over the mapped file: land anywhere, step back to the line's
// start, compare its code point.
bool Unifont::search(char32_t code, WideGlyph& out) const {
    std::size_t lo = 0, hi = size_;
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        while (mid > lo && data_[mid - 1] != '\n') --mid;
        const char* end = static_cast<const char*>(memchr(data_ + mid, '\n', size_ - mid));
        const std::size_t next = end ? static_cast<std::size_t>(end - data_) + 1 : size_;
        const std::string_view line(data_ + mid, next - mid);
        const long at = leadingHex(line);
        if (at < 0) return false;  // not a font file
        if (static_cast<char32_t>(at) == code) {
            char32_t found = 0;
            return parseUnifontLine(line, found, out);
        }
        if (static_cast<char32_t>(at) < code) lo = next;
        else hi = mid;
    }
    return false;
}

const WideGlyph* Unifont::glyph(char32_t code) {
    if (const auto it = found_.find(code); it != found_.end()) return &it->second;
    if (missing_.count(code)) return nullptr;
    if (!opened_) {
        opened_ = true;
        const int fd = ::open(hexPath_.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            void* map = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                data_ = static_cast<const char*>(map);
                size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        if (fd >= 0) ::close(fd);
    }
    if (found_.size() + missing_.size() >= kCacheLimit) found_.clear(), missing_.clear();
    WideGlyph g;
    if (!data_ || !search(code, g)) {
        missing_[code] = true;
        return nullptr;
    }
    return &(found_[code] = g);
}

bool Unifont::combining(char32_t code) {
    if (!combiningRead_) {
        combiningRead_ = true;
        if (std::FILE* f = std::fopen(combiningPath_.c_str(), "re")) {
            char line[64];
            while (std::fgets(line, sizeof line, f))
                if (const long at = leadingHex(line); at >= 0) combining_.push_back(static_cast<char32_t>(at));
            std::fclose(f);
            std::sort(combining_.begin(), combining_.end());
        }
    }
    return std::binary_search(combining_.begin(), combining_.end(), code);
}

}  // namespace kestrel
