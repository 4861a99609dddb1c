#pragma once
// File names are bytes on Linux; the toolkit shows text. These two convert
// between them so that every byte survives the round trip: valid UTF-8 reads
// as its characters, and each byte that is not part of valid UTF-8 becomes a
// private-use character that converts back to that same byte.
#include <string>
#include <string_view>

#include <wx/string.h>

namespace platform {

// Toolkit text for a path or file name held as bytes.
wxString PathToText(std::string_view bytes);
// The bytes of a path or file name shown as toolkit text (inverse of PathToText).
std::string PathFromText(const wxString& text);

// Text to show a path or file name to the user, or a message that holds one:
// valid UTF-8 reads as its characters and each byte that is not part of valid
// UTF-8 shows as one replacement mark (U+FFFD). Display only: the marks do not
// convert back, so keep the bytes (or PathToText) for anything acted on.
wxString PathToDisplayText(std::string_view bytes);

} // namespace platform
