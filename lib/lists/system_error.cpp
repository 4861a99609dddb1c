#include "lib/lists/system_error.h"

#include "base/platform/error_text.h"
#include "base/platform/message_box.h"

#include <cstring>
#include <string>

void ShowSystemError(int code, void* windowOrBuffer, int maxLength) {
    if (code == 0) code = platform::LastSystemError();
    std::string text = platform::SystemErrorText(code);
    if (text.empty()) text = kNoSystemErrorText;
    if (maxLength <= 0) {
        platform::MessageBox(windowOrBuffer, text, "", platform::kMbOk | platform::kMbIconWarning);
        return;
    }
    if (!windowOrBuffer) return;
    size_t n = std::min(text.size(), static_cast<size_t>(maxLength) - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    char* buffer = static_cast<char*>(windowOrBuffer);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void ShowSystemErrorAbout(const std::string& name, int code, void* owner) {
    if (code == 0) code = platform::LastSystemError();
    std::string text = platform::SystemErrorText(code);
    if (text.empty()) text = kNoSystemErrorText;
    platform::MessageBox(owner, name + ": " + text, "", platform::kMbOk | platform::kMbIconWarning);
}
