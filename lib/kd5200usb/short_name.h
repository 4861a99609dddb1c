#pragma once
// File names on the player: long names and the 8.3 short names made from
// them the way a FAT file system makes them.
#include <functional>
#include <string>

namespace kd5200 {

// Longest long name in bytes (the FAT limit; the entry field holds 264).
constexpr size_t kMaxLongName = 255;

// A short name: base of 1-8 and extension of 0-3 upper-case characters.
struct ShortName {
    std::string base;
    std::string ext;

    // "BASE.EXT", or "BASE" without an extension.
    std::string Text() const;
};

// Whether a name may be stored on the player: not empty, at most 255 bytes,
// no control characters, none of " * / : < > ? \ |, not ending in a dot or
// blank.
bool ValidLongName(const std::string& name);

// Whether a name read from the player's storage may be a long name in any
// code page: the checks of ValidLongName on bytes that cannot be the second
// byte of a double-byte character, so that a player written under one code
// page reads as sound under another.
bool StoredLongName(const std::string& name);

// Whether a text is a valid short-name part of at most maxLength characters
// (letters upper case; empty allowed only when allowEmpty). Bytes above
// 0x7F are allowed: they belong to the double-byte characters of some code
// page.
bool ValidShortPart(const std::string& part, size_t maxLength, bool allowEmpty);

// The short name for a long name. taken tells whether a short name text is
// already used in the memory. A name that is a valid 8.3 name apart from
// letter case keeps it when free; any other gets a "~n" tail.
ShortName MakeShortName(const std::string& longName,
                        const std::function<bool(const std::string&)>& taken);

// ASCII case-insensitive equality, as the player compares names.
bool SameName(const std::string& a, const std::string& b);

} // namespace kd5200
