#pragma once
// Lenient reading of the settings file's bytes, before they reach the INI
// parser: a UTF-8 byte-order mark is dropped, every byte of a value is kept
// (paths are bytes), and a line the parser could not take (binary garbage,
// an unclosed group header, a line without "=") is left out and reported,
// so that one damaged line never costs the others.
#include <string>
#include <string_view>

namespace settings {

struct ProfileText {
    std::string lines;    // the lines that can be read, each ended by '\n'
    bool damaged = false; // some line was left out
};

// Keeps the readable lines of bytes. With complete false (the read stopped
// early) an unterminated last line is left out as well: it may be cut.
ProfileText ReadableProfileLines(std::string_view bytes, bool complete = true);

} // namespace settings
