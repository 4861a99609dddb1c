#pragma once
// Message boxes with the Windows button sets and icons, behind a replaceable
// handler: the window layer installs one that shows real boxes, tests install
// one that answers from a script, and without any the text goes to standard
// error and the default answer is returned.
#include <functional>
#include <string>
#include <utility>

namespace platform {

// Buttons (low bits) and icons, with the values of the Windows flags.
enum MessageBoxStyle : unsigned {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNoCancel = 0x3,
    kMbYesNo = 0x4,
    // Not a Windows set: Yes, Yes to All, No, No to All and Cancel, for a
    // question asked of each of several files.
    kMbYesNoToAllCancel = 0x7,
    kMbButtonsMask = 0xF,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30, // also "exclamation"
    kMbIconInformation = 0x40,
    kMbIconMask = 0xF0,
    // The second button (Cancel, No) is the default one, which Return
    // presses: for a question whose Yes may do harm.
    kMbDefaultButton2 = 0x100,
};

// Answers, with the values of the Windows results; the two "to All" answers
// are the kit's own.
enum MessageBoxResult : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
    kIdYesToAll = 20,
    kIdNoToAll = 21,
};

// owner: the opaque owner window or nullptr; caption "" means the default
// caption (the application's name).
using MessageBoxHandler = std::function<int(void* owner, const std::string& text,
                                            const std::string& caption, unsigned style)>;

// Installs a handler; an empty one restores the default. Returns the old one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
// Shows a box through the current handler and returns the button chosen.
int MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style);

// A box may have a secondary text, which the window shows below the main
// text in smaller type (a long path, say, that a window manager would cut
// from the caption). The box's text then holds the main text,
// kSecondaryTextMark and the secondary text; a handler that cannot set it
// apart shows it as a paragraph of its own.
inline constexpr char kSecondaryTextMark = '\x1e'; // ASCII record separator
std::string WithSecondaryText(const std::string& text, const std::string& secondary);
// The main and the secondary text of a box's text (the second empty without one).
std::pair<std::string, std::string> SplitSecondaryText(const std::string& text);

} // namespace platform
