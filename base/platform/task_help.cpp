#include "base/platform/task_help.h"

#include <utility>

namespace platform {

namespace {

std::string& Current() {
    static std::string page;
    return page;
}

} // namespace

TaskHelp::TaskHelp(std::string page) : outer_(std::exchange(Current(), std::move(page))) {}

TaskHelp::~TaskHelp() {
    Current() = std::move(outer_);
}

const std::string& CurrentTaskHelp() {
    return Current();
}

} // namespace platform
