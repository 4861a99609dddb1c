// The player's code page: chosen once per change, converters kept per thread.
#include "lib/kd5200usb/player_names.h"

#include <cstdlib>
#include <memory>
#include <mutex>

namespace kd5200 {

namespace {

std::mutex& ChosenLock() {
    static std::mutex lock;
    return lock;
}

std::string& Chosen() {
    static std::string chosen;
    return chosen;
}

std::string CurrentName() {
    {
        const std::lock_guard<std::mutex> hold(ChosenLock());
        if (!Chosen().empty()) return Chosen();
    }
    // The environment is read on every call, but each text is judged once.
    thread_local std::string forced, judged = "\n";
    const char* value = std::getenv("KD5200_CODEPAGE");
    const std::string now = value ? value : "";
    if (now != judged) {
        judged = now;
        forced = platform::CodePageKnown(now) ? now : platform::CodePageFromEnvironment();
    }
    return forced;
}

} // namespace

void SetCodePageName(const std::string& name) {
    const std::lock_guard<std::mutex> hold(ChosenLock());
    Chosen() = platform::CodePageKnown(name) ? name : "";
}

const platform::CodePage& NameCodePage() {
    thread_local std::unique_ptr<platform::CodePage> page;
    const std::string name = CurrentName();
    if (!page || page->Name() != name) page = std::make_unique<platform::CodePage>(name);
    return *page;
}

bool PlayerNameFromPc(const std::string& pcName, std::string& playerName) {
    return NameCodePage().FromPcName(pcName, playerName);
}

} // namespace kd5200
