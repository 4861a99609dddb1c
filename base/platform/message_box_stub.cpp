#include "base/platform/message_box_stub.h"

namespace platform {

ScriptedMessageBoxes::ScriptedMessageBoxes(int fallback) : fallback_(fallback) {
    previous_ = SetMessageBoxHandler(
        [this](void* owner, const std::string& text, const std::string& caption, unsigned style) {
            return Show(owner, text, caption, style);
        });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    SetMessageBoxHandler(std::move(previous_));
}

int ScriptedMessageBoxes::Show(void* owner, const std::string& text, const std::string& caption,
                               unsigned style) {
    auto [main, secondary] = SplitSecondaryText(text);
    shown_.push_back({owner, std::move(main), caption, style, std::move(secondary)});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (fallback_ != 0) return fallback_;
    const unsigned buttons = style & kMbButtonsMask;
    return buttons == kMbYesNo || buttons == kMbYesNoCancel ? kIdYes : kIdOk;
}

} // namespace platform
