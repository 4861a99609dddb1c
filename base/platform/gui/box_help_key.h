#pragma once
// F1 in the toolkit's own message boxes and file choosers. Their keys never
// reach the program's handlers, so the key is watched on the box itself and
// passed on as a request for the help of the window that asked for the box.
#include <cstdint>
#include <functional>

class wxWindow;

namespace platform {

// What F1 in a box does: asker is the window that had the keyboard when
// the box was asked for (else the box's owner; null when it is gone). An
// empty function leaves F1 to the box.
void SetBoxHelp(std::function<void(wxWindow* asker)> help);

// While it lives, F1 in each message box or file chooser that appears asks
// for the help of asker.
class BoxHelpKey {
public:
    explicit BoxHelpKey(wxWindow* asker);
    ~BoxHelpKey();
    BoxHelpKey(const BoxHelpKey&) = delete;
    BoxHelpKey& operator=(const BoxHelpKey&) = delete;

private:
    unsigned signal_;
    std::uintptr_t hook_;
};

} // namespace platform
