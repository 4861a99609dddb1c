#pragma once
// Songdock's texts in the person's language.

namespace app {

// Chooses the language as GTK programs do (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG), loads Songdock's catalogue and wx's own, and lets the string table
// translate through them. English where no catalogue matches.
void LoadTranslations();

} // namespace app
