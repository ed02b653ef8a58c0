#pragma once
// How paste and kill reach cp and rm. The utilities are started directly,
// without a shell: every path is one argument, byte for byte, whatever it
// holds. The lines shown on the panels and kept in the record files are
// composed apart, through the one quoting function, so for ordinary paths
// they read exactly as the commands always have.
#include <cstddef>
#include <string>
#include <vector>

#include "frame/outside_program.h"

namespace kestrel {

// Found on PATH, as the shell would find them.
inline constexpr const char* kCpProgram = "cp";
inline constexpr const char* kRmProgram = "rm";

// The bytes of arguments one call may carry. A single shell line is limited
// to 128 KiB and the whole argument list to a share of the stack; 1001
// buffered paths of 150 bytes are already past the first. Longer lists are
// split over several calls, so every file is copied or removed.
inline constexpr std::size_t kArgumentBudget = 96 * 1024;

// What the shell's "<dir>/*" names: every entry whose name does not begin
// with ".", as full paths, in byte order. Empty for an empty or unreadable
// directory (the shell would pass the pattern itself, which names nothing).
// forPlainCp leaves out what copiedSources would, mostly by the type the
// directory records, so a paste-all of many files looks at none of them.
std::vector<std::string> everyEntryOf(const std::string& dir, bool forPlainCp = false);

// The operands split into calls: each call is `options`, "--", a run of
// operands and then `destination` (when not empty), within `budget` bytes.
// No operands, no call.
std::vector<std::vector<std::string>> utilityCalls(const std::vector<std::string>& options,
                                                   const std::vector<std::string>& operands,
                                                   const std::string& destination,
                                                   std::size_t budget = kArgumentBudget);

// The sources cp is given: without -r, cp would open a FIFO, socket or
// device among them and read it until a writer appears, so those are left
// out, and so are the directories it would only omit with a complaint (a
// files-only paste is not a failure). With -r cp recreates them all.
std::vector<std::string> copiedSources(bool recursive, const std::vector<std::string>& sources);

// cp [-r] sources (those of copiedSources)... destination, every call run even when one fails. The
// end of the first call that failed, else of the last one. `watch` shows
// progress (runProgram).
// sourcesChecked: they already are what copiedSources would give.
ProgramEnd runCopy(App& app, bool recursive, const std::vector<std::string>& sources, const std::string& destination,
                   ProgressWatch* watch = nullptr, bool sourcesChecked = false);
// rm [-r] paths...; without -r the directories, which rm refuses, are left
// out: "Kill all Files" leaving the directories is not a failure.
ProgramEnd runRemove(App& app, bool recursive, const std::vector<std::string>& paths, ProgressWatch* watch = nullptr);

// The lines as shown and recorded.
std::string pasteLine(const std::string& sourceFile, const std::string& dir);
std::string pasteAllLine(const std::string& sourceDir, const std::string& dir, bool recursive);
std::string pasteBufferLine(const std::vector<std::string>& paths, const std::string& dir);
std::string killAllLine(const std::string& dir, bool recursive);
std::string killBufferLine(const std::vector<std::string>& paths);
std::string killFileLine(const std::string& path);

}  // namespace kestrel
