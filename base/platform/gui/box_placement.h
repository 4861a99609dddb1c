#pragma once
// A message box centred over the window that asks for it. Wine places every
// box after a program's first at the screen's top-left corner, away from the
// window it is about.
#include <cstdint>

class wxWindow;

namespace platform {

// While it lives, the next message box that appears on this thread is
// centred over owner's top-level window (where the system has not put it
// there already), within the screen.
class CentredOverOwner {
public:
    explicit CentredOverOwner(wxWindow* owner);
    ~CentredOverOwner();
    CentredOverOwner(const CentredOverOwner&) = delete;
    CentredOverOwner& operator=(const CentredOverOwner&) = delete;

private:
    std::uintptr_t hook_;
};

} // namespace platform
