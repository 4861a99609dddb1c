// Player file names: the code page of the player's names and the
// conversions where they cross the device library.
#include "base/platform/files.h"
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

std::string DevNameToPcName(std::string_view playerBytes, bool* whole) {
    std::string name;
    const bool decoded = Current().PcName(playerBytes, name);
    if (whole) *whole = decoded;
    return name;
}

bool DevNameToPlayer(std::string_view pcName, std::string& playerBytes,
                     platform::Unencodable* failure) {
    return Current().FromPcName(pcName, playerBytes, failure);
}

namespace {

// Says that subject (a file name or a path) holds a character the code page
// cannot write.
void TellUnencodable(KD5200_HWND parent, const char* english, const std::string& subject,
                     const platform::Unencodable& failure) {
    const DevUnencodableCharacter shown = DevDescribeUnencodable(failure);
    const std::string& character = shown.character;
    const std::string& point = shown.point;
    const char* format = strings::Tr(english);
    std::vector<char> message(std::char_traits<char>::length(format) + subject.size() +
                              character.size() + 64);
    std::snprintf(message.data(), message.size(), format,
                  subject.c_str(), character.c_str(), point.c_str(), DevGetCodePage().c_str());
    platform::MessageBox(parent, message.data(), "", platform::kMbOk | platform::kMbIconWarning);
}

} // namespace

std::string DevPcBaseName(const std::string& path) {
    return path.substr(platform::NameStart(path));
}

DevUnencodableCharacter DevDescribeUnencodable(const platform::Unencodable& failure) {
    DevUnencodableCharacter shown{failure.character, ""};
    if (failure.codePoint) {
        shown.point = platform::CodePointText(failure.codePoint);
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X",
                      static_cast<unsigned char>(failure.character.empty() ? 0 : failure.character[0]));
        shown.point = shown.character = hex;
    }
    return shown;
}

bool DevCheckPlayerName(KD5200_HWND parent, const std::string& pcPath) {
    const std::string name = DevPcBaseName(pcPath);
    std::string bytes;
    platform::Unencodable failure;
    if (DevNameToPlayer(name, bytes, &failure)) return true;
    TellUnencodable(parent, text::kNameNotForPlayer, name, failure);
    return false;
}

bool DevPathToPlayer(KD5200_HWND parent, const std::string& pcPath, std::string& playerBytes) {
    platform::Unencodable failure;
    if (DevNameToPlayer(pcPath, playerBytes, &failure)) return true;
    TellUnencodable(parent, text::kPathNotForPlayer, pcPath, failure);
    return false;
}
