#include "app/translations.h"

#include "base/platform/code_page.h"
#include "base/platform/help_language.h"
#include "base/platform/install_layout.h"
#include "base/platform/ui_language.h"
#include "base/resources/strings.h"

#include <clocale>
#include <memory>
#include <string>
#include <unordered_map>

#include <wx/translation.h>

namespace app {

namespace {

// The catalogue's text for an English one, kept for the program's life.
const char* Translate(const char* english) {
    static std::unordered_map<std::string, std::string> cache;
    const auto [it, added] = cache.try_emplace(english);
    if (added) {
        const wxTranslations* translations = wxTranslations::Get();
        const wxString* found =
            translations ? translations->GetTranslatedString(wxString::FromUTF8(english))
                         : nullptr;
        it->second = found ? found->utf8_string() : std::string(english);
    }
    return it->second.c_str();
}

} // namespace

void LoadTranslations() {
#ifdef LC_MESSAGES
    // GTK's own texts (file chooser, stock buttons) follow the language too.
    std::setlocale(LC_MESSAGES, "");
#endif
    const std::string language = platform::UiLanguage();
    if (language == "C") return;
    // The help's pages in that language where they exist ("ko" of "ko_KR.UTF-8").
    platform::SetHelpLanguage(language.substr(0, language.find_first_of("_.@")));
    const std::string data = platform::DataDirectory();
    if (!data.empty()) {
        // The build tree keeps the catalogues in the data folder; an
        // installation in share/locale beside it.
        wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(data + "/locale"));
        wxFileTranslationsLoader::AddCatalogLookupPathPrefix(
            wxString::FromUTF8(data + "/../locale"));
    }
    auto translations = std::make_unique<wxTranslations>();
    translations->SetLanguage(
        wxString::FromUTF8(language.substr(0, language.find_first_of(".@"))));
    translations->AddStdCatalog();
    translations->AddCatalog("songdock");
    wxTranslations::Set(translations.release()); // wx owns it
    strings::SetTranslator(&Translate);
}

} // namespace app
