#pragma once
// Temporary files in the user's temporary folder.
#include <string>

namespace platform {

// Creates a new empty file in TempDir() whose name starts with prefix and
// returns its path, or "" on failure (errno tells why).
std::string CreateTempFile(const std::string& prefix);
// Creates a new empty file with the prefix in the given folder.
std::string CreateTempFileIn(const std::string& folder, const std::string& prefix);
// A name for a new file, prefix and six characters in folder, that no file
// has yet: for a writer that creates the file whole (and names it only when
// it is done), so that nothing of a writer killed meanwhile is left.
std::string NewFileName(const std::string& folder, const std::string& prefix);
// A new file without a name in TempDir(), open for reading and writing, so
// that nothing of it is left when the process ends, however it ends: the
// descriptor, or -1 (errno tells why). Where the file system cannot keep
// such files, a named one is made and unnamed at once.
int OpenUnnamedTempFile(const std::string& prefix);
// Opens the file at path for reading and takes its name away, so that it
// goes when its descriptor is closed: the descriptor, or -1 (errno tells why;
// the name is then left).
int OpenAndUnname(const std::string& path);

} // namespace platform
