#include "ui/panes/file_target.h"

HFileTarget::~HFileTarget() = default;

std::optional<std::string> HFileTarget::GetTargetFolder() const {
    return std::string();
}

bool HFileTarget::CanReceive() const {
    return true;
}
