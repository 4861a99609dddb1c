#pragma once
// The text of a name edited in place. The field shows the name as the list
// does, each byte that is not UTF-8 as a replacement mark, so the person sees
// one name in both. The marks do not convert back; what the person left as
// it was keeps the name's own bytes instead.
#include <string_view>

#include <wx/string.h>

// The edited label as path text (see platform::PathToText): the parts at the
// start and end of edited that still read as the shown name are the name's
// own bytes, and what lies between is the text typed.
wxString EditedLabelText(std::string_view nameBytes, const wxString& edited);
