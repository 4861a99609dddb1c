#include "base/platform/console_catalogue.h"

#include "base/platform/install_layout.h"
#include "base/resources/strings.h"

#include <libintl.h>
#include <locale.h>

#include <filesystem>
#include <string>

namespace platform {

namespace {

constexpr const char* kDomain = "songdock";

// The person's LC_MESSAGES alone, for the catalogue's lookups.
locale_t& PersonsMessages() {
    static locale_t messages = nullptr;
    return messages;
}

const char* Translate(const char* english) {
    const locale_t before = uselocale(PersonsMessages());
    const char* text = dgettext(kDomain, english);
    uselocale(before);
    return text;
}

} // namespace

void UseKitCatalogue() {
    if (PersonsMessages()) return;
    const locale_t messages = newlocale(LC_MESSAGES_MASK, "", nullptr);
    if (!messages) return; // the language's locale is not installed: English
    // The build tree keeps the catalogues beside its data folder, an
    // installation in share/locale beside share/songdock.
    const std::string data = DataDirectory();
    if (!data.empty()) {
        const std::filesystem::path folder =
            (std::filesystem::path(data) / "../locale").lexically_normal();
        std::error_code ec;
        if (std::filesystem::is_directory(folder, ec)) bindtextdomain(kDomain, folder.c_str());
    }
    // The program's own locale may be "C": the texts come as UTF-8 whatever it is.
    bind_textdomain_codeset(kDomain, "UTF-8");
    PersonsMessages() = messages;
    strings::SetTranslator(&Translate);
}

std::string InPersonsLanguage(const std::function<std::string()>& make) {
    if (!PersonsMessages()) return make();
    const locale_t before = uselocale(PersonsMessages());
    std::string text = make();
    uselocale(before);
    return text;
}

} // namespace platform
