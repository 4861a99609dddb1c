#pragma once
// The language the person reads the program's windows in.
#include <string>

namespace platform {

// A locale name such as "ko_KR" or "ko_KR.UTF-8", or "C" for untranslated
// texts. The environment's LC_ALL, LC_MESSAGES or LANG decides; on Windows,
// where those are rarely set, the user's display language otherwise.
std::string UiLanguage();

} // namespace platform
