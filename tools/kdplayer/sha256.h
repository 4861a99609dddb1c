#pragma once
// SHA-256 of files, for the backup manifest.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kdplayer {

class Sha256 {
public:
    Sha256();
    void Update(const void* data, size_t size);
    // The digest as 64 lower-case hexadecimal digits; the object is spent.
    std::string HexDigest();

private:
    void Block(const uint8_t* block);

    uint32_t state_[8];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t length_ = 0;
};

// The digest of the file at path, or "" when it cannot be read.
std::string Sha256OfFile(const std::string& path);

} // namespace kdplayer
