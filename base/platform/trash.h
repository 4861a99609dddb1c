#pragma once
// The desktop's Trash (the freedesktop.org trash, through GIO): deleted files
// can be restored from the file manager.
#include <string>

namespace platform {

// Whether the file at path can be moved to a trash: false where its file
// system has none (or the file cannot be examined).
bool CanMoveToTrash(const std::string& path);

// Moves the file at path to the trash. Returns 0, or the errno code that
// best describes the failure (ENOTSUP where the file system has no trash).
int MoveToTrash(const std::string& path);

} // namespace platform
