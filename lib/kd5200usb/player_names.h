#pragma once
// The code page of the player's file names. The library takes and returns
// names in it, as a library on a Windows PC of the person's language takes
// and returns "ANSI" text: from KD5200X_SetCodePage, else KD5200_CODEPAGE,
// else the person's language.
#include "base/platform/code_page.h"

#include <string>

namespace kd5200 {

// Sets the code page for the process; "" returns to KD5200_CODEPAGE or the language.
void SetCodePageName(const std::string& name);
// The code page in use now (for this thread's conversions).
const platform::CodePage& NameCodePage();

// The player's name for a PC file name (UTF-8, or bytes that already read as
// the code page's); false when a character of it cannot be written in it.
bool PlayerNameFromPc(const std::string& pcName, std::string& playerName);

} // namespace kd5200
