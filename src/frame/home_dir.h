#pragma once
// Where a first start (no settings file) opens: the home of the user running
// Kestrel. Root keeps "/root".
#include <string>
#include <sys/types.h>

namespace kestrel {

// The rule on its own: root's home is "/root"; anyone else's is $HOME when it
// is an absolute path, else the home the user database names, else "/".
// Trailing slashes are dropped, since Kestrel's paths carry none but "/".
std::string homeDirectoryFor(uid_t uid, const char* homeVariable, const char* passwdHome);

// The rule for this process: its real user id, $HOME and the user database.
std::string homeDirectory();

}  // namespace kestrel
