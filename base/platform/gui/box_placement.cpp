// The desktop's message boxes are transient for their owner, and the window
// manager centres them over it.
#include "base/platform/gui/box_placement.h"

namespace platform {

CentredOverOwner::CentredOverOwner(wxWindow*) : hook_(0) {}

CentredOverOwner::~CentredOverOwner() = default;

} // namespace platform
