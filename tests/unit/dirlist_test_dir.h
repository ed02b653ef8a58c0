#pragma once
// Scratch directories for the Directory list tests, and a way to look at a
// listing the way the browser does. The loader moves the working directory, so
// the fixture puts it back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "dirlist/dir_list.h"
#include "temp_dir.h"

namespace kestrel::test {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(root.c_str(), 0755);  // an unprivileged child must be able to get in
        savedCwd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    void TearDown() override {
        EXPECT_EQ(fchdir(savedCwd), 0);
        close(savedCwd);
    }

    std::string path(const std::string& name) const { return root + "/" + name; }
    void makeFile(const std::string& name, off_t size = 0, mode_t mode = 0644) const;
    void setLocalMtime(const std::string& name, int year, int month, int day, int hour, int minute) const;

    TempDir dir;
    const std::string root = dir.path;
    int savedCwd = -1;
};

// The index of the entry with this name, or -1.
int indexOf(const DirList& list, const std::string& name);

// The fixed columns of a row (for rows whose size text fits ten characters).
inline std::string kindOf(const std::string& row) { return row.substr(37, 6); }
inline std::string lettersOf(const std::string& row) { return row.substr(43, 5); }
inline std::string sizeOf(const std::string& row) { return row.substr(48, 10); }
inline std::string dateOf(const std::string& row) { return row.substr(row.size() - 18); }

// Runs `work` in a forked child that has dropped to uid/gid 65534 (nobody)
// and returns what it produced; nullopt when this process may not switch users.
std::optional<std::string> runAsNobody(const std::function<std::string()>& work);

}  // namespace kestrel::test
