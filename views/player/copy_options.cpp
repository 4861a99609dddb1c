#include "views/player/copy_options.h"

#include "base/platform/message_box.h"
#include "lib/device/device_layer.h"
#include "lib/settings/settings_store.h"

#include <memory>

namespace player {

DevOverwritePolicy AskingOverwrite() {
    // A "Yes to All" or "No to All" answers the rest of the copy.
    auto toAll = std::make_shared<int>(0);
    return [toAll](const std::string& target, bool moreToCome, bool ownCopy) {
        if (*toAll == platform::kIdNoToAll) return DevOverwriteAnswer{DevOverwrite::kSkip};
        if (*toAll == platform::kIdYesToAll && !ownCopy)
            return DevOverwriteAnswer{DevOverwrite::kReplace};
        int answer = DevAskOverwrite(target.c_str(), moreToCome);
        if (answer == platform::kIdYesToAll || answer == platform::kIdNoToAll) {
            *toAll = answer;
            answer = answer == platform::kIdYesToAll ? platform::kIdYes : platform::kIdNo;
        }
        if (answer == platform::kIdYes) return DevOverwriteAnswer{DevOverwrite::kReplace, true};
        if (answer == platform::kIdNo) return DevOverwriteAnswer{DevOverwrite::kSkip, true};
        return DevOverwriteAnswer{DevOverwrite::kStop, true};
    };
}

DevCopyOptions CopyOptions() {
    DevCopyOptions options;
    options.verify = settings::GetVerifyCopies();
    options.convertQka = settings::GetAdpcmConvert() == 0;
    options.convertQdx = settings::GetQdxConvert() == 0;
    options.overwrite = AskingOverwrite();
    return options;
}

} // namespace player
