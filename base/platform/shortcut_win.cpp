// Shortcuts (.lnk files) resolved through the shell's IShellLink.
#include "base/platform/shortcut.h"

#include "base/platform/wide_text.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

// COM on this thread for the object's life; the window thread has it already.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T** Out() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

bool EndsWithLnk(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".lnk";
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

// file:///C:/Music/a%20b.mp3 is C:/Music/a b.mp3; file://server/share/x is
// the network path //server/share/x.
std::string LocalPathFromFileUrl(const std::string& url) {
    const std::string scheme = "file://";
    if (url.size() <= scheme.size() || url.compare(0, scheme.size(), scheme) != 0) return "";
    std::string rest = url.substr(scheme.size());
    if (rest.compare(0, 10, "localhost/") == 0) rest = rest.substr(9);
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return "";
        const int high = HexValue(rest[i + 1]), low = HexValue(rest[i + 2]);
        if (high < 0 || low < 0) return "";
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (path.empty() || path.find('\0') != std::string::npos) return "";
    if (path[0] != '/') return "//" + path; // a host: the file is on that server
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':')
        return path.substr(1);
    return "";
}

std::string ResolveShortcut(const std::string& path) {
    if (path.empty() || !EndsWithLnk(path)) return "";
    const ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out()))))
        return "";
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) ||
        FAILED(file->Load(WideText(path).c_str(), STGM_READ)))
        return "";
    // The stored path, without asking the shell to search for a moved
    // target (which may take long and show a box).
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) || !target[0]) return "";
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsW(target, expanded, MAX_PATH);
    std::string result = Utf8Text(n > 0 && n <= MAX_PATH ? expanded : target);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

} // namespace platform
