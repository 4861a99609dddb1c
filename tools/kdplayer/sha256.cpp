#include "tools/kdplayer/sha256.h"

#include "base/platform/folder_files.h"

#include <nettle/sha2.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace kdplayer {

namespace {

std::string Hex(sha256_ctx& sha) {
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&sha, sizeof digest, digest);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const uint8_t byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0xF];
    }
    return hex;
}

} // namespace

std::string Sha256Of(const void* data, size_t size) {
    sha256_ctx sha;
    sha256_init(&sha);
    sha256_update(&sha, size, static_cast<const uint8_t*>(data));
    return Hex(sha);
}

std::string Sha256OfFile(const std::string& path) {
    const int fd = platform::OpenForReading(path);
    if (fd < 0) return "";
    std::string digest = Sha256OfFd(fd);
    close(fd);
    return digest;
}

std::string Sha256OfFd(int fd) {
    sha256_ctx sha;
    sha256_init(&sha);
    std::vector<uint8_t> buffer(1 << 18);
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return "";
        if (n == 0) break;
        sha256_update(&sha, static_cast<size_t>(n), buffer.data());
    }
    return Hex(sha);
}

} // namespace kdplayer
