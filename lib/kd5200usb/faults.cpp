#include "lib/kd5200usb/faults.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace kd5200 {

namespace {

// The fault a list such as "flip:2,eio:5" gives chunk number count (from 1).
ChunkFault FaultOf(const std::string& list, long long count) {
    size_t at = 0;
    while (at < list.size()) {
        size_t end = list.find(',', at);
        if (end == std::string::npos) end = list.size();
        const std::string item = list.substr(at, end - at);
        at = end + 1;
        const size_t colon = item.find(':');
        if (colon == std::string::npos) continue;
        const std::string kind = item.substr(0, colon);
        char* last = nullptr;
        const long long n = std::strtoll(item.c_str() + colon + 1, &last, 10);
        if (*last != '\0' || n != count) continue;
        if (kind == "flip") return ChunkFault::Flip;
        if (kind == "eio") return ChunkFault::Fail;
    }
    return ChunkFault::None;
}

} // namespace

ChunkFault NextChunkFault() {
    static std::mutex mutex;
    static std::string list;
    static long long count = 0;
    const char* value = std::getenv("KD5200_FAULTS");
    const std::string now = value ? value : "";
    const std::lock_guard<std::mutex> lock(mutex);
    if (now != list) {
        list = now;
        count = 0;
    }
    if (list.empty()) return ChunkFault::None;
    return FaultOf(list, ++count);
}

} // namespace kd5200
