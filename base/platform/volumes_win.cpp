// The drive list: every drive letter in use, its kind from GetDriveType and
// its name as the shell shows it.
#include "base/platform/volumes.h"

#include "base/platform/wide_text.h"
#include "base/resources/strings.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

namespace {

// The shell's name of a drive ("Local Disk (C:)", "MUSIC (E:)"), else
// "Drive (C:)"; also where the shell gives the letter alone (" (C:)").
std::string DriveName(const std::wstring& root, wchar_t letter) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(root.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME)) {
        std::wstring name = info.szDisplayName;
        name.erase(0, name.find_first_not_of(L' '));
        if (!name.empty() && name.front() != L'(') return Utf8Text(name);
    }
    std::string name = strings::Tr(text::kDriveLabel);
    const size_t mark = name.find('?');
    if (mark != std::string::npos) name[mark] = static_cast<char>(letter);
    return name;
}

} // namespace

bool IsNetworkFsType(const std::string& fsType, const std::string&) {
    return fsType == "network";
}

std::vector<Volume> ListVolumes() {
    // A drive without its medium is listed, never asked to show a box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::vector<Volume> volumes;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const UINT type = GetDriveTypeW(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) continue;
        Volume v;
        v.root = Utf8Text(std::wstring(1, letter)) + ":/";
        v.device = v.root.substr(0, 2);
        v.kind = type == DRIVE_REMOVABLE ? VolumeKind::Removable
                 : type == DRIVE_CDROM   ? VolumeKind::Optical
                                         : VolumeKind::Fixed;
        wchar_t fs[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fs,
                                  MAX_PATH + 1))
            v.fsType = Utf8Text(fs);
        if (type == DRIVE_REMOTE) v.fsType = "network";
        v.name = DriveName(root, letter);
        volumes.push_back(std::move(v));
    }
    SetErrorMode(oldMode);
    return volumes;
}

} // namespace platform
