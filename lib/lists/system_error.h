#pragma once
#include <string>
// ShowSystemError: reports a failed system call with the system's own text.

// Text used when the system has no text for a code.
inline constexpr const char* kNoSystemErrorText = "System Internal Errors(null)";

// The general form: code 0 means the calling thread's last error (errno).
// With maxLength <= 0 the text is shown in a warning box owned by the window
// windowOrBuffer (an opaque window pointer, or null); otherwise at most
// maxLength bytes, terminator included, are copied into the buffer
// windowOrBuffer, never splitting a UTF-8 sequence.
void ShowSystemError(int code, void* windowOrBuffer, int maxLength);

// "box" form: a warning box owned by owner.
inline void ShowSystemError(int code, void* owner) {
    ShowSystemError(code, owner, -1);
}

// "text" form: does nothing when size <= 0.
inline void ShowSystemError(int code, char* buffer, int size) {
    if (size > 0) ShowSystemError(code, static_cast<void*>(buffer), size);
}

// A warning box owned by owner that names what failed: "<name>: <text>",
// name being a file or folder name as bytes ("Rock: Is a directory").
void ShowSystemErrorAbout(const std::string& name, int code, void* owner);
