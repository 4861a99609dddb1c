#include "base/platform/folder_watch.h"

#include "base/platform/wide_text.h"

#include <windows.h>

namespace platform {

FolderWatch::~FolderWatch() {
    Stop();
}

void FolderWatch::Stop() {
    if (handle_ != kNone) FindCloseChangeNotification(reinterpret_cast<HANDLE>(handle_));
    handle_ = kNone;
}

bool FolderWatch::Start(const std::string& folder, bool writes) {
    Stop();
    const HANDLE h = FindFirstChangeNotificationW(
        WideText(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
            (writes ? FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE : 0));
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool FolderWatch::Quiet() {
    if (handle_ == kNone) return false;
    const HANDLE h = reinterpret_cast<HANDLE>(handle_);
    const DWORD state = WaitForSingleObject(h, 0);
    if (state == WAIT_TIMEOUT) return true;
    // Signalled: a change. The notification is armed again for the next;
    // one that cannot be armed (its folder gone) ends the watch.
    if (state != WAIT_OBJECT_0 || !FindNextChangeNotification(h)) Stop();
    return false;
}

int FolderWatch::Descriptor() const {
    return -1;
}

} // namespace platform
