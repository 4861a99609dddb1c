#include "base/platform/device_notice.h"

#include <windows.h>
#include <dbt.h>

namespace platform {

void AnnounceDeviceChange() {
    // A window that does not answer is not waited for long.
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                        SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, 2000, nullptr);
}

} // namespace platform
