#include "base/platform/ui_language.h"

#include "base/platform/code_page.h"

namespace platform {

std::string UiLanguage() {
    return MessagesLanguage();
}

} // namespace platform
