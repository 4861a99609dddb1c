#pragma once
// The language of the help: pages of a language live in a folder named by
// its code beside the English pages (HtmlHelp/ko/panes.html beside
// HtmlHelp/panes.html); a page missing there is shown in English.
#include <string>

namespace platform {

// Chooses the help's language by its code ("ko"); "" or "en" is English.
// Help opened afterwards looks for that language's pages first.
void SetHelpLanguage(const std::string& code);
const std::string& HelpLanguage();

// The path of file (a page, "toc.hhc" or "index.hhk") in helpFolder for
// language: helpFolder/language/file where it exists, else helpFolder/file.
// An anchor ("panes.html#properties") is kept on the result.
std::string LocalizedHelpFile(const std::string& helpFolder, const std::string& language,
                              const std::string& file);

} // namespace platform
