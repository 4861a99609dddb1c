// The settings in the registry, under
// HKEY_CURRENT_USER\Software\<company>\Songdock: one subkey per section, the
// empty section as values of that key itself; integers are REG_DWORD, texts
// REG_SZ. Each value is read and written at once; the registry keeps every
// write whole, so no lock is needed.
#include "lib/settings/profile_store.h"

#include "base/platform/wide_text.h"

#include <windows.h>

#include <cstdint>

namespace settings {

namespace {

// An open registry key, closed when dropped.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    // Opens the key for reading; false when it does not exist.
    bool Open(const std::wstring& path) {
        return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key_) ==
               ERROR_SUCCESS;
    }
    // Opens the key for writing, made with its parents when missing.
    bool Create(const std::wstring& path) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring AppKey(const std::string& company) {
    return L"Software\\" + platform::WideText(company) + L"\\Songdock";
}

class RegistryValues : public ProfileValues {
public:
    explicit RegistryValues(const std::string& company) : app_(AppKey(company)) {}

    std::optional<std::string> Read(const std::string& section,
                                     const std::string& key) const override {
        Key k;
        if (!k.Open(SectionKey(section))) return std::nullopt;
        const std::wstring name = platform::WideText(key);
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return std::nullopt;
        // The value may change between the two calls: read until it fits.
        std::wstring text;
        LONG status = ERROR_MORE_DATA;
        while (status == ERROR_MORE_DATA) {
            text.assign(size / sizeof(wchar_t) + 1, L'\0');
            size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            status = RegQueryValueExW(k.get(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(text.data()), &size);
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        // A stored string need not end in a NUL; it ends at the first one.
        text.resize(size / sizeof(wchar_t));
        const auto nul = text.find(L'\0');
        if (nul != std::wstring::npos) text.resize(nul);
        return platform::Utf8Text(text);
    }

    std::optional<int> ReadInt(const std::string& section, const std::string& key) const override {
        Key k;
        if (!k.Open(SectionKey(section))) return std::nullopt;
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExW(k.get(), platform::WideText(key).c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value)
            return std::nullopt;
        return static_cast<int32_t>(value);
    }

    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        const std::wstring text = platform::WideText(value);
        Set(section, key, REG_SZ, text.c_str(),
            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    void WriteInt(const std::string& section, const std::string& key, int value) override {
        const DWORD number = static_cast<uint32_t>(value);
        Set(section, key, REG_DWORD, &number, sizeof number);
    }

    // Whether every write so far was kept.
    bool written() const { return written_; }

private:
    std::wstring SectionKey(const std::string& section) const {
        return section.empty() ? app_ : app_ + L"\\" + platform::WideText(section);
    }

    void Set(const std::string& section, const std::string& key, DWORD type, const void* data,
             DWORD size) {
        Key k;
        if (!k.Create(SectionKey(section)) ||
            RegSetValueExW(k.get(), platform::WideText(key).c_str(), 0, type,
                           static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
            written_ = false;
    }

    std::wstring app_;
    bool written_ = true;
};

} // namespace

std::string ProfileLocation(const std::string& company) {
    return "HKEY_CURRENT_USER\\" + platform::Utf8Text(AppKey(company));
}

bool WithProfile(const std::string& company, bool write,
                 const std::function<void(ProfileValues&)>& fn) {
    RegistryValues values(company);
    fn(values);
    return !write || values.written();
}

} // namespace settings
