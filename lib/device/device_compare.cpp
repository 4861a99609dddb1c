// Read-back comparison of a player file with a PC file.
#include "lib/device/device_compare.h"

#include "lib/device/device_layer.h"
#include "base/platform/pipe_compare.h"

int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath) {
    const KD5200_HANDLE handle = DevGetHandle();
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    platform::PipeCompare pipe(pcPath);
    if (pipe.Path().empty()) return KD5200_ERR_FILE_WRITE;
    // The reports of the second read name it as the check it is.
    device::ProgressHandler outer = DevSetProgressHandler(nullptr);
    DevSetProgressHandler([&outer](KD5200_HWND owner, const char*, int64_t done, int64_t total) {
        return outer && outer(owner, kDevCheckOperation, done, total);
    });
    const int32_t ok =
        DevApi().Upload(parent, handle, memory, number, pipe.Path().c_str(), nullptr, size,
                        KD5200_CONVERT_NONE);
    const int code = ok ? KD5200_ERR_NONE : DevApi().GetError();
    DevSetProgressHandler(std::move(outer));
    const bool same = pipe.Same();
    if (!ok) return code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_READ;
    return same ? KD5200_ERR_NONE : KD5200_ERR_STORAGE;
}
