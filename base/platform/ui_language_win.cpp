#include "base/platform/ui_language.h"

#include "base/platform/code_page.h"
#include "base/platform/wide_text.h"

#include <windows.h>

#include <algorithm>

namespace platform {

std::string UiLanguage() {
    const std::string chosen = MessagesLanguage();
    if (chosen != "C") return chosen;
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (!LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                          LOCALE_NAME_MAX_LENGTH, 0))
        return "C";
    // "ko-KR" as the catalogues name it: "ko_KR".
    std::string locale = Utf8Text(name);
    std::replace(locale.begin(), locale.end(), '-', '_');
    return locale.empty() || locale.rfind("en", 0) == 0 ? "C" : locale;
}

} // namespace platform
