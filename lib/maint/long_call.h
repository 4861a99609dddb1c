#pragma once
// A hook around the long device calls of the maintenance commands, so that
// the window layer can show progress without these commands knowing windows.
#include <functional>
#include <memory>

namespace maint {

// The long device calls, and the conversion of a HEX file before a firmware
// write (a large file takes about a second).
enum class LongCall { kHexConversion, kFirmwareWrite, kFontDownload, kFontUpload, kRawDataRead };

// Something that lives exactly as long as one long device call, such as a
// progress dialog. It is destroyed before any result message is shown.
class CallScope {
public:
    virtual ~CallScope() = default;
};

// Makes the scope for a call; an empty factory (or a null scope) shows nothing.
using CallScopeFactory = std::function<std::unique_ptr<CallScope>(LongCall)>;

// The scope for a call from the factory, or null without one.
inline std::unique_ptr<CallScope> OpenScope(const CallScopeFactory& factory, LongCall call) {
    return factory ? factory(call) : nullptr;
}

} // namespace maint
