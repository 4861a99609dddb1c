#pragma once
// Checks of Intel HEX records for warnings: the reader itself trusts every
// record, but the tools tell the user about damaged ones.
#include <string>
#include <string_view>
#include <vector>

// What is wrong with one record.
struct HexRecordFindings {
    bool badDigits =
        false; // a header, data or checksum character is no hex digit, or the record is cut short
    bool badChecksum = false; // the digits are fine but the bytes do not sum to 0
};

// Adds the bytes of the pairs of hex digits in digits (first one high) to
// sum; false when a character is no hex digit. An odd last character is
// not looked at.
bool SumHexBytes(std::string_view digits, unsigned& sum);

// Checks one record from its nine header characters (":CCAAAATT") and the
// rest of its line (data, checksum, optional line end).
HexRecordFindings CheckHexRecord(std::string_view header, std::string_view rest);

// The damaged records of one file: how many and where the first one is.
struct HexWarnings {
    unsigned badDigits = 0, firstBadDigitsLine = 0;
    unsigned badChecksum = 0, firstBadChecksumLine = 0;

    // Counts the findings of the record on the given line.
    void Note(const HexRecordFindings& findings, unsigned line);
    bool Any() const { return badDigits > 0 || badChecksum > 0; }
};

// Warning lines ("file:line: warning: ...", no line end) for the tally.
std::vector<std::string> FormatHexWarnings(const std::string& file, const HexWarnings& warnings);
