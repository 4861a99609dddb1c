#pragma once
// The kit's message catalogue ("songdock") for a console program: its
// texts in the language of LC_MESSAGES, through strings::Tr.
#include <functional>
#include <string>

namespace platform {

// Lets strings::Tr translate through the kit's catalogue, found beside the
// program (the build tree's data folder, or share/locale once installed),
// in the language LC_ALL, LC_MESSAGES or LANG names. Only these lookups
// follow that language: the C library and the device library keep the
// program's locale, so that what the program writes for scripts stays
// English. English where no catalogue or locale matches, and on Windows.
void UseKitCatalogue();

// What make returns when the C library's messages and the catalogues of
// other domains (a library's own) follow the person's language: their text
// for the terminal, where the program's locale keeps them English.
std::string InPersonsLanguage(const std::function<std::string()>& make);

} // namespace platform
