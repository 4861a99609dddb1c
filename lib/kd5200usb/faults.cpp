#include "lib/kd5200usb/faults.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace kd5200 {

namespace {

// The kind of the fault that a list such as "flip:2,eio:5" gives to event
// number count (from 1) among the kinds asked about; "" for none.
std::string FaultOf(const std::string& list, long long count,
                    std::initializer_list<const char*> kinds) {
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
        for (const char* known : kinds)
            if (kind == known) return kind;
    }
    return "";
}

// One kind of counted event: the list of faults and the events counted
// since it was last set (for each of up to two counters).
class Counter {
public:
    // Counts one event of counter which and tells the fault it gets.
    std::string Next(int which, std::initializer_list<const char*> kinds) {
        const char* value = std::getenv("KD5200_FAULTS");
        const std::string now = value ? value : "";
        const std::lock_guard<std::mutex> lock(mutex_);
        if (now != list_) {
            list_ = now;
            count_[0] = count_[1] = 0;
        }
        if (list_.empty()) return "";
        return FaultOf(list_, ++count_[which], kinds);
    }

private:
    std::mutex mutex_;
    std::string list_;
    long long count_[2] = {0, 0};
};

} // namespace

ChunkFault NextChunkFault() {
    static Counter chunks;
    const std::string kind = chunks.Next(0, {"flip", "eio"});
    if (kind == "flip") return ChunkFault::Flip;
    if (kind == "eio") return ChunkFault::Fail;
    return ChunkFault::None;
}

ListFault NextListFault(int memory) {
    static Counter reads;
    const std::string kind = reads.Next(memory == 1 ? 1 : 0, {"gone", "renamed"});
    if (kind == "gone") return ListFault::Gone;
    if (kind == "renamed") return ListFault::Renamed;
    return ListFault::None;
}

} // namespace kd5200
