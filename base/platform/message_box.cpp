#include "base/platform/message_box.h"

#include "base/platform/modal_depth.h"

#include <cstdio>

namespace platform {

namespace {

// Without windows: print the text and take the safe answer (OK, or the
// refusing one of a question).
int ConsoleMessageBox(void*, const std::string& text, const std::string& caption, unsigned style) {
    const auto [main, secondary] = SplitSecondaryText(text);
    std::fprintf(stderr, "%s%s%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", main.c_str(),
                 secondary.empty() ? "" : "\n", secondary.c_str());
    switch (style & kMbButtonsMask) {
    case kMbYesNo:
        return kIdNo;
    case kMbYesNoCancel:
    case kMbYesNoToAllCancel:
    case kMbOkCancel:
        return kIdCancel;
    default:
        return kIdOk;
    }
}

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler = ConsoleMessageBox;
    return handler;
}

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler old = Handler();
    Handler() = handler ? std::move(handler) : MessageBoxHandler(ConsoleMessageBox);
    return old;
}

int MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style) {
    const ModalScope open;
    const QuestionScope asking;
    return Handler()(owner, text, caption, style);
}

std::string WithSecondaryText(const std::string& text, const std::string& secondary) {
    return secondary.empty() ? text : text + kSecondaryTextMark + secondary;
}

std::pair<std::string, std::string> SplitSecondaryText(const std::string& text) {
    const size_t mark = text.find(kSecondaryTextMark);
    if (mark == std::string::npos) return {text, {}};
    return {text.substr(0, mark), text.substr(mark + 1)};
}

} // namespace platform
