#include "input_map.h"

#include <io.h>
#include <windows.h>

namespace convert {

InputMap::InputMap(int fd) {
    const HANDLE file = fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK ||
        !GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2)
        return;
    // While mapped, the file cannot be cut short by another program.
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return;
    void* at = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping); // the view keeps the mapping
    if (!at) return;
    data_ = static_cast<const std::uint8_t*>(at);
    size_ = static_cast<std::size_t>(size.QuadPart);
}

InputMap::~InputMap() {
    if (data_) UnmapViewOfFile(data_);
}

void InputMap::Release(const std::uint8_t*) {
    // The system drops pages of a read-only view as it needs the memory.
}

} // namespace convert
