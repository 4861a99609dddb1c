#pragma once
// Where the settings are kept: the INI file (profile_file.cpp) or, on
// Windows, the registry (profile_registry_win.cpp). A value is named by a
// section and a key; the empty section is the application's own key.
#include <functional>
#include <optional>
#include <string>

namespace settings {

class ProfileValues {
public:
    virtual ~ProfileValues() = default;
    // The stored text; none when missing or not a text.
    virtual std::optional<std::string> Read(const std::string& section,
                                            const std::string& key) const = 0;
    // The stored 32-bit integer; none when missing or not a number.
    virtual std::optional<int> ReadInt(const std::string& section,
                                       const std::string& key) const = 0;
    virtual void Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    virtual void WriteInt(const std::string& section, const std::string& key, int value) = 0;
};

// Runs fn over the settings of company's Songdock. With write set, what fn
// wrote is kept; false when it could not be kept.
bool WithProfile(const std::string& company, bool write,
                 const std::function<void(ProfileValues&)>& fn);
// Where company's settings are: the file's path, or the registry key.
std::string ProfileLocation(const std::string& company);

} // namespace settings
