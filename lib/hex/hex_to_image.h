#pragma once
// Intel HEX file to flat firmware image.
#include "lib/hex/hex_record_check.h"

#include <cstdint>
#include <string>

// Base addresses of the two kinds of code.
constexpr uint32_t kApplicationCodeBase = 0x2000;
constexpr uint32_t kBootCodeBase = 0;
// The converter refuses images larger than this; real ones are far smaller,
// and a stray extended address must not fill the disk with zeros.
constexpr uint64_t kMaxImageSize = uint64_t{64} << 20;

// Why a conversion failed.
enum class HexImageError { None, OpenHex, ReadHex, CreateImage, NoMemory, TooLarge, WriteImage };

// What ended reading before an end-of-file record while records followed.
enum class HexStop { None, EmptyLine, NotRecord };

// Outcome of a conversion beyond true or false.
struct HexImageReport {
    HexImageError error = HexImageError::None;
    uint32_t base = 0;      // the base address asked for
    uint64_t imageSize = 0; // bytes written to the image
    HexWarnings warnings;   // damaged records seen (they are converted as read)
    // Reading stopped at line stopLine, and recordsAfterStop records that
    // follow it are not in the image (stop is None when none follow).
    HexStop stop = HexStop::None;
    unsigned stopLine = 0, recordsAfterStop = 0;
    // The file holds no record at all: line notHexLine (usually 1) is the
    // first that is not a record (0 when the file holds a record or no line).
    unsigned notHexLine = 0;
    // Data records with bytes below the base, which are not in the image.
    unsigned belowBase = 0, firstBelowBaseLine = 0;
};

// Converts the HEX file into an image that starts at base: image byte n
// holds the data byte of absolute address base + n, up to the highest
// address written, gaps as zeros. Records are read with the trusting rules
// of HexReader and placed one at a time. Returns false when the HEX file
// cannot be opened (no image written), the image cannot be created, or the
// image would grow past kMaxImageSize or cannot be written (image removed).
bool ConvertHexToImage(const std::string& hexPath, const std::string& imagePath, uint32_t base);
// The same, filling in report.
bool ConvertHexToImage(const std::string& hexPath, const std::string& imagePath, uint32_t base,
                       HexImageReport& report);

// A short English text for an error, for console messages.
const char* HexImageErrorText(HexImageError error);
