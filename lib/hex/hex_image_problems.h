#pragma once
// What a person is told about a HEX file before its image is written to the
// player: one line per kind of problem, shared by kdrom and Songdock.
#include "lib/hex/hex_to_image.h"

#include <string>
#include <vector>

// One line per kind of problem of the conversion ("file: line N: ..."),
// each naming the first line where it was seen; empty when there is none.
std::vector<std::string> HexImageWarnings(const std::string& file, const HexImageReport& report);

// Why the image of a file converted without error is refused: it holds no
// byte to write, or the file holds no Intel HEX record at all.
std::string HexEmptyImageText(const std::string& file, const HexImageReport& report);
