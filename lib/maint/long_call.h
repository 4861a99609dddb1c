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
    // Makes the call (returning its error code) within the scope; a scope
    // may make it elsewhere than on the calling thread, as a window's does
    // to keep answering while the library works.
    virtual int Run(const std::function<int()>& call) { return call(); }
};

// Makes the scope for a call; an empty factory (or a null scope) shows nothing.
using CallScopeFactory = std::function<std::unique_ptr<CallScope>(LongCall)>;

// The scope for a call from the factory, or null without one.
inline std::unique_ptr<CallScope> OpenScope(const CallScopeFactory& factory, LongCall call) {
    return factory ? factory(call) : nullptr;
}

// Makes call within scope, or directly without one.
inline int RunInScope(const std::unique_ptr<CallScope>& scope, const std::function<int()>& call) {
    return scope ? scope->Run(call) : call();
}

} // namespace maint
