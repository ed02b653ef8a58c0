#pragma once
// How big an entry looks to someone who opens it and seeks to its end,
// decided without opening anything that could block or act on being opened.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>

namespace kestrel {

// What decides, once per directory, whether an entry's status alone tells
// that the effective user may read it.
struct ReadCheck {
    bool statusAnswers = false;  // a local file system that checks the mode bits itself
    dev_t device = 0;            // the listed directory's file system
    uid_t euid = 0;
    bool readsEverything = false;  // a capability that lets this process read any file
};

ReadCheck readCheckFor(int dirFd);

std::uint64_t readableSize(int dirFd, const char* name, const struct stat& st, const ReadCheck& check = {});

}  // namespace kestrel
