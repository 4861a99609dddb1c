#include "base/platform/device_notice.h"

namespace platform {

void AnnounceDeviceChange() {}

} // namespace platform
