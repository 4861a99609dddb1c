// Player file names: the code page of the player's names and the
// conversions where they cross the device library.
#include "base/platform/message_box.h"
#include "base/resources/strings.h"
#include "lib/device/device_layer.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<platform::CodePage>& Page() {
    static std::unique_ptr<platform::CodePage> page;
    return page;
}

const platform::CodePage& Current() {
    if (!Page()) DevApplyCodePage();
    return *Page();
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void DevApplyCodePage() {
    const std::string chosen = settings::GetPlayerCodePage();
    const std::string name = platform::CodePageKnown(chosen) ? chosen
                                                              : platform::CodePageFromEnvironment();
    if (!Page() || Page()->Name() != name) Page() = std::make_unique<platform::CodePage>(name);
    device::SetLibraryCodePage(Page()->Name());
}

const std::string& DevGetCodePage() {
    return Current().Name();
}

std::string DevNameToText(std::string_view playerBytes, bool* whole) {
    std::string text;
    const bool decoded = Current().Decode(playerBytes, text);
    if (whole) *whole = decoded;
    return text;
}

bool DevNameToPlayer(std::string_view pcName, std::string& playerBytes,
                     platform::Unencodable* failure) {
    return Current().FromPcName(pcName, playerBytes, failure);
}

bool DevCheckPlayerName(KD5200_HWND parent, const std::string& pcPath) {
    const std::string name = BaseName(pcPath);
    std::string bytes;
    platform::Unencodable failure;
    if (DevNameToPlayer(name, bytes, &failure)) return true;
    // The character is named by its code point too, since it may not show;
    // a byte that is no UTF-8 is named by its value alone.
    std::string character = failure.character, point;
    if (failure.codePoint) {
        point = platform::CodePointText(failure.codePoint);
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X",
                      static_cast<unsigned char>(character.empty() ? 0 : character[0]));
        point = character = hex;
    }
    const char* format = strings::Tr(text::kNameNotForPlayer);
    std::vector<char> message(std::char_traits<char>::length(format) + name.size() +
                              character.size() + 64);
    std::snprintf(message.data(), message.size(), format,
                  name.c_str(), character.c_str(), point.c_str(), DevGetCodePage().c_str());
    platform::MessageBox(parent, message.data(), "", platform::kMbOk | platform::kMbIconWarning);
    return false;
}
