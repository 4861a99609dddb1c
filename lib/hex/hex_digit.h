#pragma once
// Value of one Intel HEX digit.

// The value of the hex digit c: c - '0' up to '9', c - 'A' + 10 below 'Z',
// otherwise c - 'a' + 10. Upper- and lower-case digits both work; any other
// character gives whatever this rule yields (no character is rejected).
int HexDigitValue(char c);

// Whether c is one of 0-9, A-F, a-f.
bool IsHexDigit(char c);
