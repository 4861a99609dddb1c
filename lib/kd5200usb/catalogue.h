#pragma once
// The library's own message catalogue ("kd5200usb"): its messages in the
// language of the calling program's LC_MESSAGES, English where the
// catalogue has no text or none is installed.

// Marks a message of the library for its catalogue.
#define KD5200_TEXT(text) text

namespace kd5200 {

// The catalogue's text for an English message marked with KD5200_TEXT.
const char* Translated(const char* english);

} // namespace kd5200
