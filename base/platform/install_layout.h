#pragma once
// Where a program finds its companions once installed. Programs live in
// bin/, the device library in the library folder and the shared data (the
// help files) in share/songdock/; both paths are fixed relative to bin/ when
// the build is configured. The build tree mirrors that layout for the data,
// so the same lookup serves a program run from the build tree.
#include <string>

namespace platform {

// The shared data folder of the running program, or "" when it has none.
std::string DataDirectory();
// The shared data folder for a program in `programDir`, or "" when it does
// not exist there.
std::string DataDirectoryFor(const std::string& programDir);
// The folder the installed device library sits in, for a program in
// `programDir` (whether or not it exists).
std::string LibraryDirectoryFor(const std::string& programDir);

} // namespace platform
