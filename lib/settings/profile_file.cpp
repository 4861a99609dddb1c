// The settings as one INI file, $XDG_CONFIG_HOME/<company>/Songdock.conf,
// read and replaced whole under a lock shared by all Songdock processes.
#include "lib/settings/profile_store.h"

#include "base/platform/file_lock.h"
#include "base/platform/paths.h"
#include "lib/settings/ini_text.h"
#include "lib/settings/profile_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace settings {

namespace {

// The profile as read: its settings, and whether the file exists but could
// not be read in full (so that it must not be written over).
struct Profile {
    IniText ini;
    bool damaged = false;
};

// Reads what can be read of the file; values keep their bytes.
Profile LoadProfile(const std::string& path) {
    std::string bytes;
    bool complete = platform::ReadWholeFile(path, bytes);
    if (!complete && !platform::PathExists(path)) complete = true; // a first run
    const ProfileText text = ReadableProfileLines(bytes, complete);
    return Profile{IniText(text.lines), !complete || text.damaged};
}

bool ParseInt(const std::string& text, int& value) {
    const char* begin = text.c_str();
    if (*begin == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    if (errno != 0 || end == begin || *end != '\0') return false;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

// Integers are decimal text in the file.
class FileValues : public ProfileValues {
public:
    explicit FileValues(IniText& ini) : ini_(ini) {}
    std::optional<std::string> Read(const std::string& section,
                                    const std::string& key) const override {
        return ini_.Read(section, key);
    }
    std::optional<int> ReadInt(const std::string& section, const std::string& key) const override {
        const std::optional<std::string> text = ini_.Read(section, key);
        int value = 0;
        if (text && ParseInt(*text, value)) return value;
        return std::nullopt;
    }
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        ini_.Write(section, key, value);
    }
    void WriteInt(const std::string& section, const std::string& key, int value) override {
        ini_.Write(section, key, std::to_string(value));
    }

private:
    IniText& ini_;
};

} // namespace

std::string ProfileLocation(const std::string& company) {
    return platform::ConfigHome() + "/" + company + "/Songdock.conf";
}

// A file that could not be read in full is first kept as Songdock.conf.damaged.
bool WithProfile(const std::string& company, bool write,
                 const std::function<void(ProfileValues&)>& fn) {
    const std::string path = ProfileLocation(company);
    if (write) {
        const auto slash = path.find_last_of('/');
        if (!platform::MakeDirectories(path.substr(0, slash))) return false;
    }
    // Writers serialise their read-modify-replace; readers need no lock
    // because the file is only ever replaced whole.
    std::unique_ptr<platform::FileLock> lock;
    if (write) lock = std::make_unique<platform::FileLock>(path + ".lock");
    Profile profile = LoadProfile(path);
    FileValues values(profile.ini);
    fn(values);
    if (!write) return true;
    if (profile.damaged && !platform::KeepFileAs(path, path + ".damaged")) return false;
    return platform::WriteFileAtomically(path, profile.ini.Text());
}

} // namespace settings
