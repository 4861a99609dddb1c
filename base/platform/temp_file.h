#pragma once
// Temporary files in the user's temporary folder.
#include <string>

namespace platform {

// Creates a new empty file in TempDir() whose name starts with prefix and
// returns its path, or "" on failure (errno tells why).
std::string CreateTempFile(const std::string& prefix);
// Creates a new empty file with the prefix in the given folder.
std::string CreateTempFileIn(const std::string& folder, const std::string& prefix);
// Creates a new folder, private to this user, in TempDir() whose name starts
// with prefix and returns its path, or "" on failure (errno tells why).
std::string CreateTempFolder(const std::string& prefix);

} // namespace platform
