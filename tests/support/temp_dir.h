#pragma once
// A fresh directory under /tmp, removed with everything in it at the end.
#include <sys/statvfs.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "extern/quote.h"
#include "extern/runner.h"

namespace kestrel::test {

// Every directory a test makes is named kestrel-test-* in the temporary
// directory: the tests' temporary root.
inline std::string tempRootPrefix() { return (std::filesystem::temp_directory_path() / "kestrel-test-").string(); }
// Whether `path` (links followed as far as it exists) lies inside one of them.
inline bool insideTempRoot(const std::string& path) {
    std::error_code ec;
    const std::string full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec).string();
    const std::string prefix = std::filesystem::weakly_canonical(tempRootPrefix(), ec).string();
    return !ec && full.size() > prefix.size() && full.compare(0, prefix.size(), prefix) == 0;
}

// Whether the tests run confined, in a private mount namespace whose "/" is read-only (tools/confined, or a
// mutation run's own): only then may a test mount file systems of its own, which vanish with the namespace.
inline bool confined() {
    struct statvfs root {};
    return statvfs("/", &root) == 0 && (root.f_flag & ST_RDONLY) != 0;
}

struct TempDir {
    TempDir() {
        std::string pattern = tempRootPrefix() + "XXXXXX";
        path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        // Kestrel lists a directory by moving into it; leave before removing
        // it so later shell commands do not start in a deleted directory.
        if (std::filesystem::current_path(ec).string().rfind(path, 0) == 0) std::filesystem::current_path("/", ec);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Creates a file (and its parent directories) holding `content`.
    std::string file(const std::string& name, const std::string& content = "") const {
        const auto p = std::filesystem::path(path) / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string dir(const std::string& name) const {
        std::filesystem::create_directories(path + "/" + name);
        return path + "/" + name;
    }
    // `count` one-byte files f000, f001, ... (entries 2 onward in name order).
    void numberedFiles(int count) const {
        for (int i = 0; i < count; ++i) file("f" + std::to_string(1000 + i).substr(1), "x");
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string path;
};

// Builds a C program that exits with `status` into `program`; position-independent or not.
inline bool compileProgram(const TempDir& d, const std::string& program, int status = 0, bool pie = false) {
    const std::string source = d.file("src/main.c", "int main(void) { return " + std::to_string(status) + "; }\n");
    const bool built = RealRunner().runShell(commandLine(
                           {Arg::literal(pie ? "cc -fPIE -pie -o" : "cc -no-pie -o"), Arg::word(program), Arg::word(source)})) == 0;
    std::filesystem::remove_all(d.path + "/src");
    return built;
}

}  // namespace kestrel::test
