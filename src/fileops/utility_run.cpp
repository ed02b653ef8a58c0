#include "fileops/utility_run.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "extern/quote.h"

namespace kestrel {

namespace {

std::string childOf(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// What cp without -r must not be given: a stream it would read until a
// writer appears, or a directory it would only complain about.
bool notForPlainCp(const std::string& path) {
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) return false;  // cp reports what is missing
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ||
           S_ISDIR(st.st_mode);
}

// rm without -r refuses a directory (a link to one is a link to it).
bool isDirectory(const std::string& path) {
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

std::vector<std::string> everyEntryOf(const std::string& dir) {
    std::vector<std::string> paths;
    DIR* d = opendir(dir.c_str());
    if (!d) return paths;
    while (const dirent* e = readdir(d))
        if (e->d_name[0] != '.') paths.push_back(childOf(dir, e->d_name));
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
    for (const std::string& path : sources)
        if (recursive || !notForPlainCp(path)) copied.push_back(path);
    return copied;
}

ProgramEnd runCopy(App& app, bool recursive, const std::vector<std::string>& sources, const std::string& destination,
                   ProgressWatch* watch) {
    return runCalls(app, kCpProgram, utilityCalls(options(recursive), copiedSources(recursive, sources), destination),
                    watch);
}

ProgramEnd runRemove(App& app, bool recursive, const std::vector<std::string>& paths, ProgressWatch* watch) {
    std::vector<std::string> removed;
    removed.reserve(paths.size());
    for (const std::string& path : paths)
        if (recursive || !isDirectory(path)) removed.push_back(path);
    return runCalls(app, kRmProgram, utilityCalls(options(recursive), removed, ""), watch);
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
