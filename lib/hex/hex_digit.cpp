#include "lib/hex/hex_digit.h"

int HexDigitValue(char c) {
    if (c <= '9') return c - '0';
    if (c < 'Z') return c - 'A' + 10;
    return c - 'a' + 10;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
