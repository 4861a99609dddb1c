#pragma once
// A regular input file mapped into memory, so that a conversion reads it
// where it lies instead of copying it through a buffer. Pages already used
// can be given back, so that memory use does not grow with the file.

#include <cstddef>
#include <cstdint>

namespace convert {

class InputMap {
public:
    // Maps the regular file open on fd whole; Mapped() is false for any
    // other kind of file, an empty file or a failed mapping.
    explicit InputMap(int fd);
    ~InputMap();
    InputMap(const InputMap&) = delete;
    InputMap& operator=(const InputMap&) = delete;

    bool Mapped() const { return data_ != nullptr; }
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    // Gives back the pages that lie wholly before `upTo`, a point inside
    // the mapping; nothing before it may be read afterwards.
    void Release(const std::uint8_t* upTo);

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t released_ = 0; // bytes from the start already given back
};

} // namespace convert
