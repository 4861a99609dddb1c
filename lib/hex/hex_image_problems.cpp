#include "lib/hex/hex_image_problems.h"

#include <cstdio>

namespace {

std::string Records(unsigned n) {
    return std::to_string(n) + (n == 1 ? " record" : " records");
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string At(const std::string& file, unsigned line) {
    return file + ": line " + std::to_string(line) + ": ";
}

} // namespace

std::vector<std::string> HexImageWarnings(const std::string& file, const HexImageReport& report) {
    std::vector<std::string> lines;
    if (report.stop != HexStop::None)
        lines.push_back(
            At(file, report.stopLine) + "reading stops at " +
            (report.stop == HexStop::EmptyLine ? "an empty line" : "a line that is not a record") +
            "; " + Records(report.recordsAfterStop) + " after it " +
            (report.recordsAfterStop == 1 ? "is" : "are") + " not written");
    const HexWarnings& w = report.warnings;
    if (w.badDigits > 0)
        lines.push_back(At(file, w.firstBadDigitsLine) +
                        "characters that are not hex digits, or a record cut short (" +
                        Records(w.badDigits) + " in all); written as read");
    if (w.badChecksum > 0)
        lines.push_back(At(file, w.firstBadChecksumLine) + "checksum mismatch (" +
                        Records(w.badChecksum) + " in all); written as read");
    if (report.belowBase > 0)
        lines.push_back(At(file, report.firstBelowBaseLine) + "data below the base address " +
                        Hex(report.base) + " is not written (" + Records(report.belowBase) +
                        " in all)");
    return lines;
}

std::string HexEmptyImageText(const std::string& file, const HexImageReport& report) {
    if (report.notHexLine != 0)
        return At(file, report.notHexLine) +
               "not an Intel HEX record, and no record follows: the firmware image is empty "
               "(0 bytes)";
    return file + ": the firmware image is empty (0 bytes): no data at or above address " +
           Hex(report.base) + " was read";
}
