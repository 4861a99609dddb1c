#include "base/platform/path_text.h"

#include <wx/strconv.h>

namespace platform {
namespace {

// One converter for both directions, independent of whether the window
// toolkit has set up its own file-name encoding yet.
const wxMBConvUTF8& PathConv() {
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

} // namespace

wxString PathToText(std::string_view bytes) {
    if (bytes.empty()) return wxString();
    return wxString(bytes.data(), PathConv(), bytes.size());
}

std::string PathFromText(const wxString& text) {
    if (text.empty()) return std::string();
    const wxScopedCharBuffer buf = text.mb_str(PathConv());
    return std::string(buf.data(), buf.length());
}

} // namespace platform
