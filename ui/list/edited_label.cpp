#include "ui/list/edited_label.h"

#include <algorithm>

#include "base/platform/path_text.h"

wxString EditedLabelText(std::string_view nameBytes, const wxString& edited) {
    // Both conversions give one character per character of valid UTF-8 and
    // one per byte that is not, so the shown name and the path text line up.
    const wxString raw = platform::PathToText(nameBytes);
    const wxString shown = platform::PathToDisplayText(nameBytes);
    if (raw.length() != shown.length()) return edited;
    const size_t most = std::min(shown.length(), edited.length());
    size_t head = 0;
    while (head < most && shown[head] == edited[head])
        ++head;
    size_t tail = 0;
    while (tail < most - head &&
           shown[shown.length() - 1 - tail] == edited[edited.length() - 1 - tail])
        ++tail;
    return raw.Left(head) + edited.Mid(head, edited.length() - head - tail) + raw.Right(tail);
}
