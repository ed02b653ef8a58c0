#pragma once
// The argument string of a program started without a shell is split the way
// Kestrel has always split it, which is far simpler than a shell:
//   - blanks (spaces and tabs) separate arguments; a run of blanks is one
//     separator, and blanks at either end are dropped;
//   - a double quote starts or ends a group in which blanks are ordinary
//     characters; the quotes themselves are removed, and a group may touch
//     other text (a"b c"d is the one argument "ab cd");
//   - "" on its own is one empty argument;
//   - an unterminated double quote groups everything to the end of the
//     string (nothing is dropped and nothing fails);
//   - no other character is special: no escapes, no single quotes, no $.
// File names may hold blanks and double quotes, so anything that passes file
// names uses the argument-vector form of startProgram instead.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

std::vector<std::string> splitArguments(std::string_view argString);

}  // namespace kestrel
