#include "fileops/utility_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "extern/quote.h"

namespace kestrel {

namespace {

std::string childOf(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// Looks at entries through their parent's descriptor, kept while the
// parent stays the same: the sources of a paste mostly share one, and
// walking the whole path again for each of 1001 files costs as much as a
// twentieth of cp's own work. The same answers as stat and lstat.
class EntryLook {
public:
    EntryLook() = default;
    EntryLook(const EntryLook&) = delete;
    EntryLook& operator=(const EntryLook&) = delete;
    ~EntryLook() {
        if (fd_ >= 0) ::close(fd_);
    }
    // The entry's type bits, or 0 when it cannot be looked at.
    mode_t type(const std::string& path, bool follow) {
        struct stat st{};
        const int flags = follow ? 0 : AT_SYMLINK_NOFOLLOW;
        const auto slash = path.rfind('/');
        int ok;
        if (slash == std::string::npos || slash + 1 == path.size()) {
            ok = ::fstatat(AT_FDCWD, path.c_str(), &st, flags);
        } else {
            const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
            if (parent != parent_) {
                if (fd_ >= 0) ::close(fd_);
                fd_ = ::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
                parent_ = parent;
            }
            ok = fd_ >= 0 ? ::fstatat(fd_, path.c_str() + slash + 1, &st, flags)
                          : ::fstatat(AT_FDCWD, path.c_str(), &st, flags);
        }
        return ok == 0 ? (st.st_mode & S_IFMT) : 0;
    }

private:
    std::string parent_;
    int fd_ = -1;
};

// What cp without -r must not be given: a stream it would read until a
// writer appears, or a directory it would only complain about. What is
// missing is left to cp, which reports it.
bool notForPlainCp(EntryLook& look, const std::string& path) {
    const mode_t t = look.type(path, true);
    return t == S_IFIFO || t == S_IFSOCK || t == S_IFCHR || t == S_IFBLK || t == S_IFDIR;
}

ProgramEnd runCalls(App& app, const char* program, const std::vector<std::vector<std::string>>& calls,
                    ProgressWatch* watch) {
    ProgramEnd first{RunResult::exited(0), ""};
    for (const auto& args : calls) {
        ProgramEnd end = runProgram(app, Launch::direct(program, args, true), watch);
        if (!first.failed()) first = std::move(end);
    }
    return first;
}

std::vector<std::string> options(bool recursive) {
    return recursive ? std::vector<std::string>{"-r"} : std::vector<std::string>{};
}

}  // namespace

std::vector<std::string> everyEntryOf(const std::string& dir, bool forPlainCp) {
    std::vector<std::string> paths;
    DIR* d = opendir(dir.c_str());
    if (!d) return paths;
    EntryLook look;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::string path = childOf(dir, e->d_name);
        // The directory's own record of the type spares a look at most entries.
        if (forPlainCp && (e->d_type == DT_REG ? false : e->d_type == DT_LNK || e->d_type == DT_UNKNOWN
                                                             ? notForPlainCp(look, path)
                                                             : true))
            continue;
        paths.push_back(std::move(path));
    }
    closedir(d);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::vector<std::string>> utilityCalls(const std::vector<std::string>& options,
                                                   const std::vector<std::string>& operands,
                                                   const std::string& destination, std::size_t budget) {
    std::size_t fixed = destination.size() + 1 + 3;  // the destination and "--", each with its NUL
    for (const auto& o : options) fixed += o.size() + 1;
    std::vector<std::vector<std::string>> calls;
    std::vector<std::string> run;
    std::size_t used = fixed;
    auto close = [&] {
        if (run.empty()) return;
        std::vector<std::string> call = options;
        call.push_back("--");
        call.insert(call.end(), run.begin(), run.end());
        if (!destination.empty()) call.push_back(destination);
        calls.push_back(std::move(call));
        run.clear();
        used = fixed;
    };
    for (const std::string& operand : operands) {
        if (!run.empty() && used + operand.size() + 1 > budget) close();
        run.push_back(operand);
        used += operand.size() + 1;
    }
    close();
    return calls;
}

std::vector<std::string> copiedSources(bool recursive, const std::vector<std::string>& sources) {
    std::vector<std::string> copied;
    copied.reserve(sources.size());
    EntryLook look;
    for (const std::string& path : sources)
        if (recursive || !notForPlainCp(look, path)) copied.push_back(path);
    return copied;
}

ProgramEnd runCopy(App& app, bool recursive, const std::vector<std::string>& sources, const std::string& destination,
                   ProgressWatch* watch, bool sourcesChecked) {
    // An existing name is removed before it is written: never written
    // through a link (or into another hard link of the file) to elsewhere.
    std::vector<std::string> opts = options(recursive);
    opts.push_back("--remove-destination");
    const auto calls = utilityCalls(opts, sourcesChecked ? sources : copiedSources(recursive, sources), destination);
    return runCalls(app, kCpProgram, calls, watch);
}

ProgramEnd runRemove(App& app, bool recursive, const std::vector<std::string>& paths, ProgressWatch* watch) {
    std::vector<std::string> removed;
    removed.reserve(paths.size());
    EntryLook look;  // rm without -r refuses a directory (a link to one is a link to it)
    for (const std::string& path : paths)
        if (recursive || look.type(path, false) != S_IFDIR) removed.push_back(path);
    // rm -r stops at a directory on another file system than its operand.
    std::vector<std::string> opts = options(recursive);
    opts.push_back("--one-file-system");
    return runCalls(app, kRmProgram, utilityCalls(opts, removed, ""), watch);
}

std::string pasteLine(const std::string& sourceFile, const std::string& dir) {
    return commandLine({Arg::literal("cp"), Arg::word(sourceFile), Arg::word(dir)});
}

std::string pasteAllLine(const std::string& sourceDir, const std::string& dir, bool recursive) {
    return commandLine({Arg::literal(recursive ? "cp -r" : "cp"), Arg::everyEntryOf(sourceDir), Arg::word(dir)});
}

std::string pasteBufferLine(const std::vector<std::string>& paths, const std::string& dir) {
    return commandLine({Arg::literal("cp"), Arg::wordList(paths), Arg::word(dir)});
}

std::string killAllLine(const std::string& dir, bool recursive) {
    return commandLine({Arg::literal(recursive ? "rm -r" : "rm"), Arg::everyEntryOf(dir)});
}

std::string killBufferLine(const std::vector<std::string>& paths) {
    return commandLine({Arg::literal("rm"), Arg::wordList(paths)});
}

std::string killFileLine(const std::string& path) { return commandLine({Arg::literal("rm"), Arg::word(path)}); }

}  // namespace kestrel
