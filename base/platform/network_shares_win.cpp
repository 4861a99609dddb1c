// The Windows network through WNetOpenEnumW/WNetEnumResourceW, as the
// explorer browses it: the networks at the top, then domains, servers and
// shares, each opened under the record of the place above it.
#include "base/platform/network_enum_win.h"

#include "base/platform/wide_text.h"
#include "base/platform/windows_errno.h"

#include <cerrno>

#include <memory>

namespace platform {

namespace {

// The buffer an enumeration reads into first.
constexpr DWORD kBufferSize = 16384;

// The network calls, from mpr.dll loaded on first use: only browsing the
// network needs them, and every library a program loads at start costs its
// start-up (under Wine several milliseconds).
struct MprCalls {
    decltype(&WNetOpenEnumW) open = nullptr;
    decltype(&WNetEnumResourceW) next = nullptr;
    decltype(&WNetCloseEnum) close = nullptr;
    decltype(&WNetGetLastErrorW) lastError = nullptr;
    decltype(&WNetUseConnectionW) connect = nullptr;
    bool Complete() const { return open && next && close; }
};

template <typename Function> void Resolve(HMODULE library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const MprCalls& Mpr() {
    static const MprCalls calls = [] {
        MprCalls found;
        if (HMODULE library = LoadLibraryW(L"mpr.dll")) {
            Resolve(library, "WNetOpenEnumW", found.open);
            Resolve(library, "WNetEnumResourceW", found.next);
            Resolve(library, "WNetCloseEnum", found.close);
            Resolve(library, "WNetGetLastErrorW", found.lastError);
            Resolve(library, "WNetUseConnectionW", found.connect);
        }
        return found;
    }();
    return calls;
}

std::string Text(const wchar_t* text) {
    return text ? Utf8Text(text) : std::string();
}

// The system's text for a failed network call; a provider's own error
// (ERROR_EXTENDED_ERROR) is told by the provider.
std::string NetErrorText(DWORD code) {
    std::wstring text;
    if (code == ERROR_EXTENDED_ERROR) {
        DWORD providerCode = 0;
        wchar_t description[512] = {}, provider[256] = {};
        if (Mpr().lastError &&
            Mpr().lastError(&providerCode, description, 512, provider, 256) == NO_ERROR)
            text = description;
    }
    if (text.empty()) {
        wchar_t* system = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
        if (system) {
            text = system;
            LocalFree(system);
        }
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : Utf8Text(text);
}

NetworkListing Failed(DWORD code) {
    NetworkListing listing;
    listing.error = code;
    listing.errorText = NetErrorText(code);
    return listing;
}

// A null pointer for an absent text, as the system gives and takes them.
wchar_t* TextOrNull(std::wstring& text) {
    return text.empty() ? nullptr : text.data();
}

// A place as the system's record, with its texts.
class PlaceRecord {
public:
    explicit PlaceRecord(const NetworkPlace& place)
        : local_(WideText(place.localName)), remote_(WideText(place.remoteName)),
          comment_(WideText(place.comment)), provider_(WideText(place.provider)) {
        record_.dwScope = place.scope;
        record_.dwType = place.type;
        record_.dwDisplayType = static_cast<DWORD>(place.display);
        record_.dwUsage = place.usage;
        record_.lpLocalName = TextOrNull(local_);
        record_.lpRemoteName = TextOrNull(remote_);
        record_.lpComment = TextOrNull(comment_);
        record_.lpProvider = TextOrNull(provider_);
    }
    PlaceRecord(const PlaceRecord&) = delete;
    PlaceRecord& operator=(const PlaceRecord&) = delete;
    NETRESOURCEW* Get() { return &record_; }

private:
    std::wstring local_, remote_, comment_, provider_;
    NETRESOURCEW record_{};
};

} // namespace

NetEnumCalls SystemNetEnumCalls() {
    return {
        // A system without the network library has no network to browse.
        [](NETRESOURCEW* under, HANDLE* enumeration) -> DWORD {
            if (!Mpr().Complete()) return ERROR_NO_NETWORK;
            return Mpr().open(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, under, enumeration);
        },
        [](HANDLE enumeration, DWORD* count, void* buffer, DWORD* size) {
            return Mpr().next(enumeration, count, buffer, size);
        },
        [](HANDLE enumeration) { return Mpr().close(enumeration); },
    };
}

NetworkPlace PlaceFromRecord(const NETRESOURCEW& record) {
    NetworkPlace place;
    place.scope = record.dwScope;
    place.type = record.dwType;
    place.display = static_cast<int>(record.dwDisplayType);
    place.usage = record.dwUsage;
    place.localName = Text(record.lpLocalName);
    place.remoteName = Text(record.lpRemoteName);
    place.comment = Text(record.lpComment);
    place.provider = Text(record.lpProvider);
    return place;
}

NetworkListing EnumerateNetworkPlaces(const NetworkPlace* under, const NetEnumCalls& calls) {
    // The place's record, its texts alive for the whole call.
    PlaceRecord record(under ? *under : NetworkPlace());
    HANDLE enumeration = nullptr;
    if (const DWORD opened = calls.open(under ? record.Get() : nullptr, &enumeration); opened != NO_ERROR)
        return Failed(opened);

    NetworkListing listing;
    DWORD capacity = kBufferSize;
    // NETRESOURCEW-aligned, as the records are read in place.
    auto buffer = std::make_unique<NETRESOURCEW[]>(capacity / sizeof(NETRESOURCEW) + 1);
    for (;;) {
        DWORD count = static_cast<DWORD>(-1); // as many as fit
        DWORD size = capacity;
        const DWORD read = calls.next(enumeration, &count, buffer.get(), &size);
        if (read == ERROR_NO_MORE_ITEMS) break;
        if (read == ERROR_MORE_DATA && size > capacity) {
            // Not even one record fitted: read again with the size asked for.
            capacity = size;
            buffer = std::make_unique<NETRESOURCEW[]>(capacity / sizeof(NETRESOURCEW) + 1);
            continue;
        }
        if (count == static_cast<DWORD>(-1)) count = 0;
        // A call that neither fails nor reads would be asked forever.
        if ((read != NO_ERROR && read != ERROR_MORE_DATA) || (read == ERROR_MORE_DATA && count == 0)) {
            calls.close(enumeration);
            return Failed(read);
        }
        if (count == 0) break;
        for (DWORD i = 0; i < count; ++i)
            listing.places.push_back(PlaceFromRecord(buffer[i]));
    }
    calls.close(enumeration);
    return listing;
}

NetworkListing ListNetworkPlaces(const NetworkPlace* under) {
    return EnumerateNetworkPlaces(under, SystemNetEnumCalls());
}

int ConnectNetworkPlace(const NetworkPlace& place, void* owner) {
    if (!Mpr().connect) return ENOTSUP;
    PlaceRecord record(place);
    // The system asks for a name and password, as the explorer does.
    const DWORD result = Mpr().connect(static_cast<HWND>(owner), record.Get(), nullptr, nullptr,
                                       CONNECT_INTERACTIVE, nullptr, nullptr, nullptr);
    if (result == NO_ERROR) return 0;
    if (result == ERROR_CANCELLED) return ECANCELED;
    return ErrnoFromWindowsError(result);
}

} // namespace platform
