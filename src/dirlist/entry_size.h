#pragma once
// How big an entry looks to someone who opens it and seeks to its end,
// decided without opening anything that could block or act on being opened.
#include <sys/stat.h>

#include <cstdint>

namespace kestrel {

std::uint64_t readableSize(int dirFd, const char* name, const struct stat& st);

}  // namespace kestrel
