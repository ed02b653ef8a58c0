#pragma once
// A growable array of plain records for the Directory list, kept in its own
// memory mapping. Growing it remaps the pages instead of copying them, so a
// list of a million entries never holds its old and new copies at once, and
// capacity that is never written costs no memory.
#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace kestrel {

template <typename T>
class PodArray {
    static_assert(std::is_trivially_copyable_v<T>, "PodArray copies its records as bytes");

  public:
    PodArray() = default;
    ~PodArray() { release(); }
    PodArray(const PodArray& other) { *this = other; }
    PodArray& operator=(const PodArray& other) {
        if (this == &other) return *this;
        size_ = 0;
        reserve(other.size_);
        if (other.size_) std::memcpy(static_cast<void*>(data_), other.data_, other.size_ * sizeof(T));
        size_ = other.size_;
        return *this;
    }
    PodArray(PodArray&& other) noexcept { swap(other); }
    PodArray& operator=(PodArray&& other) noexcept {
        swap(other);
        return *this;
    }
    void swap(PodArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(bytes_, other.bytes_);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

    void push_back(const T& value) {
        if ((size_ + 1) * sizeof(T) > bytes_) reserve(size_ < 64 ? 64 : size_ * 2);
        data_[size_++] = value;
    }
    // Appends `n` records' room and returns where it starts (the records are zero on fresh pages only).
    T* grow(std::size_t n) {
        if ((size_ + n) * sizeof(T) > bytes_) reserve(std::max(size_ + n, size_ * 2));
        T* at = data_ + size_;
        size_ += n;
        return at;
    }
    void resize(std::size_t n) {
        reserve(n);
        size_ = n;
    }
    void clear() { size_ = 0; }
    void reserve(std::size_t n) {
        const std::size_t want = pageRound(n * sizeof(T));
        if (want <= bytes_) return;
        void* p = bytes_ ? mremap(data_, bytes_, want, MREMAP_MAYMOVE)
                         : mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        data_ = static_cast<T*>(p);
        bytes_ = want;
    }
    // Gives the memory back (clear keeps it for the next load).
    void release() {
        if (bytes_) munmap(data_, bytes_);
        data_ = nullptr;
        size_ = bytes_ = 0;
    }

  private:
    static std::size_t pageRound(std::size_t bytes) {
        constexpr std::size_t kPage = 4096;
        return (bytes + kPage - 1) / kPage * kPage;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t bytes_ = 0;
};

}  // namespace kestrel
