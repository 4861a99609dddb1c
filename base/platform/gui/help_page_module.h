#pragma once
// The one function the help page module gives the program. Both sides are
// built from the same sources against the same toolkit, so C++ types cross.
#include "base/platform/gui/help_page.h"

namespace platform {

using NewHelpPageFunction = HelpPage* (*)(wxWindow* parent, HelpPageEvents* events);
inline constexpr const char* kHelpPageModule = "libsd_help_page.so";
inline constexpr const char* kNewHelpPageSymbol = "sd_new_help_page";

} // namespace platform
