#pragma once
// Well-known folders of the user session (XDG base directories).
#include <string>

namespace platform {

// $XDG_CONFIG_HOME, or ~/.config when unset or not absolute.
std::string ConfigHome();
// $XDG_DATA_HOME, or ~/.local/share when unset or not absolute.
std::string DataHome();
// $TMPDIR, or /tmp when unset or empty.
std::string TempDir();
// The process's current directory ("" when it cannot be read).
std::string CurrentDirectory();
// Creates a folder and its missing parents (mode 0700 for new ones).
bool MakeDirectories(const std::string& path);
// Whether the path names an existing file system object.
bool PathExists(const std::string& path);
// Folder of the running executable ("" when unknown).
std::string ExecutableDirectory();

} // namespace platform

namespace platform {

// Replaces the file's contents as one step: writes a temporary file in the
// same folder, flushes it to the disk and renames it over the target, so a
// crash leaves either the old or the new contents. Creates missing folders.
bool WriteFileAtomically(const std::string& path, const std::string& contents);
// Reads a whole file; false when it cannot be opened or read. After a
// failed read, contents hold the bytes read before the failure.
bool ReadWholeFile(const std::string& path, std::string& contents);
// Keeps the file at path under the name keep, replacing an older file of that
// name: a second link where the file system allows one, so that path stays
// in place until it is replaced, else a rename.
bool KeepFileAs(const std::string& path, const std::string& keep);

} // namespace platform
