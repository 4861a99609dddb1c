#pragma once
// The text a person reads of a help page: its words without the markup,
// and its title, for searching the help and listing what was found.
#include <string>
#include <string_view>

namespace platform {

// The words of an HTML page as one line of text: tags, comments, the head,
// scripts and styles dropped, character references decoded (UTF-8), runs of
// white space made one space.
std::string HelpPageText(std::string_view html);

// The page's title element, decoded; "" when it has none.
std::string HelpPageTitle(std::string_view html);

// Character references (&amp; &lt; &gt; &quot; &apos; &nbsp; &#NN; &#xNN;)
// decoded into UTF-8; others are left as they are.
std::string DecodeEntities(std::string_view text);

// text with ASCII letters made small (other bytes are kept).
std::string AsciiLower(std::string_view text);

} // namespace platform
