#pragma once
// Byte-for-byte comparison of two open files, as a verified copy compares
// what it read back with its source.

namespace platform {

// Whether the regular files open on a and b hold the same bytes. False also
// when either cannot be read.
bool SameContents(int a, int b);

} // namespace platform
