#include "base/platform/mapped_read_guard.h"

namespace platform {

// A file with a view mapped cannot be cut short on Windows.
MappedReadGuard::MappedReadGuard(const char*) {}

MappedReadGuard::~MappedReadGuard() = default;

} // namespace platform
