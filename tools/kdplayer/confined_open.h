#pragma once
// Opening the files of a folder that may have been tampered with (a backup
// brought from elsewhere): only regular files inside the folder, no link
// followed at any level, and nothing that could block or never end (a FIFO,
// a device) is ever read.
#include "tools/kdplayer/message.h"
#include "base/platform/folder_files.h"

#include <cstddef>
#include <string>

namespace kdplayer {

// Opens relative ("name" or "folder/name") read-only beneath the folder open
// as dir, following no link, and checks that it is a regular file. Returns
// the descriptor (stamp filled from it), or -1 with errno set: ELOOP for a
// link, ENOENT, ENODEV for anything but a regular file.
int OpenRegularInside(int dir, const std::string& relative, platform::FileStamp& stamp);

// What went wrong in OpenRegularInside, for a message: "is missing", "is a
// link", "is not a regular file", or the system's text.
Message OpenFailureText(int error);

// Reads the whole file at fd into text when it holds at most limit bytes;
// 0, EFBIG when it holds more, or an errno.
int ReadBounded(int fd, size_t limit, std::string& text);

} // namespace kdplayer
