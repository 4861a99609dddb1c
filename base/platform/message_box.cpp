#include "base/platform/message_box.h"

#include "base/platform/modal_depth.h"

#include <cstdio>

namespace platform {

namespace {

// Without windows: print the text and take the safe answer (OK, or the
// refusing one of a question).
int ConsoleMessageBox(void*, const std::string& text, const std::string& caption, unsigned style) {
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
    switch (style & kMbButtonsMask) {
    case kMbYesNo:
        return kIdNo;
    case kMbYesNoCancel:
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
    return Handler()(owner, text, caption, style);
}

} // namespace platform
