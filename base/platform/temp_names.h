#pragma once
// Names for the hidden temporaries that output files are written into.

#include <string>

namespace platform {

// Six characters as mkstemp would choose them.
std::string RandomSuffix();

} // namespace platform
