#include "base/platform/help_language.h"

#include "base/platform/paths.h"

namespace platform {

namespace {

std::string& Language() {
    static std::string language;
    return language;
}

// A code names a folder of its own: letters, digits, '-' and '_' only.
bool UsableCode(const std::string& code) {
    if (code.empty() || code == "en") return false;
    for (char c : code)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_'))
            return false;
    return true;
}

} // namespace

void SetHelpLanguage(const std::string& code) {
    Language() = UsableCode(code) ? code : "";
}

const std::string& HelpLanguage() {
    return Language();
}

std::string LocalizedHelpFile(const std::string& helpFolder, const std::string& language,
                              const std::string& file) {
    const size_t hash = file.find('#');
    const std::string name = file.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? "" : file.substr(hash);
    if (UsableCode(language) && !name.empty()) {
        const std::string localized = helpFolder + "/" + language + "/" + name;
        if (PathExists(localized)) return localized + anchor;
    }
    return helpFolder + "/" + name + anchor;
}

} // namespace platform
