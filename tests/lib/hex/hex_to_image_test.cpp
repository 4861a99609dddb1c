// Conversion of Intel HEX files to firmware images.
#include "lib/hex/hex_to_image.h"

#include "hex_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using hexgen::EndRecord;
using hexgen::ExtendedLinear;
using hexgen::Record;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Sequence(std::size_t n, uint8_t first = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(first + i);
    return b;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class HexToImage : public ::testing::Test {
protected:
    // Converts text and returns the image; ok tells the result.
    Bytes Convert(const std::string& text, uint32_t base, bool* ok = nullptr) {
        hexgen::WriteText(dir / "in.hex", text);
        const bool result = ConvertHexToImage(dir / "in.hex", dir / "out.bin", base, report);
        if (ok)
            *ok = result;
        else
            EXPECT_TRUE(result) << HexImageErrorText(report.error);
        const std::string image = hexgen::ReadText(dir / "out.bin");
        return Bytes(image.begin(), image.end());
    }
    TempFolder dir;
    HexImageReport report;
};

// Bytes of disk a file takes.
uint64_t DiskUse(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? uint64_t(st.st_blocks) * 512 : ~uint64_t{0};
}

} // namespace

TEST_F(HexToImage, PlacesApplicationCodeFromItsBase) {
    const Bytes data = Sequence(40);
    const std::string text =
        ExtendedLinear(0) + hexgen::DataRecords(0x2000, data, 16, false) + EndRecord();
    EXPECT_EQ(Convert(text, kApplicationCodeBase), data);
    EXPECT_EQ(report.imageSize, data.size());
    EXPECT_FALSE(report.warnings.Any());
    // Boot code base 0: zeros up to 0x2000, then the data.
    EXPECT_EQ(Convert(text, kBootCodeBase), Cat(Bytes(0x2000, 0), data));
}

TEST_F(HexToImage, RecordsLandByTheRules) {
    const Bytes data = Sequence(16), low = Sequence(16, 0x40), high = Sequence(16, 0x80);
    Bytes overwritten = Cat(low, high);
    overwritten[4] = 0xEE;
    overwritten[5] = 0xEF;
    const Bytes mixed = {0xFF, 0x0A, 0xAB, 0xCD};
    std::string lower = Record(0, 0xABCD, mixed);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string one = Record(0, 0x2000, {1}), two = Record(0, 0x2001, {2});
    const std::string pair = Record(0, 0x2000, {1, 2}, "\r\n");
    const std::string last = Record(0, 0x2002, {3}, "");
    const struct {
        const char* what;
        std::string text;
        uint32_t base;
        Bytes image;
        bool warned = false; // a record was damaged
    } cases[] = {
        {"0x1FF8..0x2007: only the last 8 bytes land, at offset 0",
         Record(0, 0x1FF8, data) + EndRecord(), 0x2000, Bytes(data.begin() + 8, data.end())},
        {"a record wholly below the base adds nothing",
         Record(0, 0x1000, data) + Record(0, 0x2000, {7}) + EndRecord(), 0x2000, Bytes{7}},
        {"records in any order", Record(0, 0x2010, high) + Record(0, 0x2000, low) + EndRecord(),
         0x2000, Cat(low, high)},
        {"a later record overwrites in place; the end does not move back",
         Record(0, 0x2000, low) + Record(0, 0x2010, high) + Record(0, 0x2004, {0xEE, 0xEF}) +
             EndRecord(),
         0x2000, overwritten},
        {"the extended record's own address field adds to the base",
         Record(4, 0x0010, {0, 0}) + Record(0, 0x0000, {5}) + EndRecord(), 0,
         Cat(Bytes(0x10, 0), Bytes{5})},
        {"segment (02), start (03, 05) and unknown types change nothing",
         Record(2, 0, {0x10, 0x00}) + Record(3, 0, {0, 0, 0x20, 0}) +
             Record(5, 0, {0, 0, 0x20, 0}) + Record(0x17, 0x2000, {1, 2}) +
             Record(0, 0x2000, {1, 2, 3}) + EndRecord(),
         0x2000, Bytes{1, 2, 3}},
        {"a record without data extends the image",
         Record(0, 0x2000, {1}) + Record(0, 0x2008, {}) + EndRecord(), 0x2000,
         Bytes{1, 0, 0, 0, 0, 0, 0, 0}},
        {"digits in either case", lower + EndRecord(), 0xABCD, mixed},
        {"stops at the end record", one + EndRecord() + two, 0x2000, Bytes{1}},
        {"stops at an empty line", one + "\n" + two + EndRecord(), 0x2000, Bytes{1}},
        {"stops at a byte-order mark", "\xEF\xBB\xBF" + one + EndRecord(), 0x2000, Bytes{}},
        {"stops at a comment", one + "; note\n" + two, 0x2000, Bytes{1}},
        {"CR LF line ends", pair + Record(0, 0x2002, {3}, "\r\n") + EndRecord("\r\n"), 0x2000,
         Bytes{1, 2, 3}},
        {"no end record and no final line feed", pair + last, 0x2000, Bytes{1, 2, 3}},
        {"no checksum on the last line", pair + last.substr(0, last.size() - 2), 0x2000,
         Bytes{1, 2, 3}, true},
        {"a record cut short in its data is left out", pair + last.substr(0, 10), 0x2000,
         Bytes{1, 2}, true},
        {"a record cut short in its header is left out", pair + ":0520", 0x2000, Bytes{1, 2}},
        {"an empty file", "", 0x2000, Bytes{}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.text, c.base), c.image) << c.what;
        EXPECT_EQ(report.warnings.Any(), c.warned) << c.what;
    }
}

TEST_F(HexToImage, WrongChecksumsAndDigitsAreConvertedAndCounted) {
    std::string bad = Record(0, 0x2000, {1, 2, 3});
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    std::string odd = Record(0, 0x2003, {4});
    odd[9] = 'G'; // digit value 16: byte 0x10 + low digit
    // A long record with a right checksum, in upper and lower case, is fine.
    const Bytes full = hexgen::RandomBytes(255, 9);
    std::string lower = Record(0, 0x2004, full);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const Bytes image = Convert(Record(0, 0x1FFF, {0}) + bad + bad + odd + Record(0, 0x2004, full) +
                                    lower + EndRecord(),
                                0x2000);
    EXPECT_EQ(image, Cat(Bytes{1, 2, 3, static_cast<uint8_t>(16 * 16 + 4)}, full));
    EXPECT_EQ(report.warnings.badChecksum, 2u);
    EXPECT_EQ(report.warnings.firstBadChecksumLine, 2u);
    EXPECT_EQ(report.warnings.badDigits, 1u);
    EXPECT_EQ(report.warnings.firstBadDigitsLine, 4u);
    const auto lines = FormatHexWarnings("fw.hex", report.warnings);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "fw.hex:2: warning: checksum mismatch (2 records in all)");
}

TEST_F(HexToImage, FailuresLeaveNoImageBehind) {
    // An unreadable HEX file: the caller's image stays as it was.
    hexgen::WriteText(dir / "out.bin", "keep");
    EXPECT_FALSE(ConvertHexToImage(dir / "missing.hex", dir / "out.bin", 0, report));
    EXPECT_EQ(report.error, HexImageError::OpenHex);
    EXPECT_EQ(hexgen::ReadText(dir / "out.bin"), "keep");
    // An image that cannot be created.
    hexgen::WriteText(dir / "in.hex", Record(0, 0, {1}) + EndRecord());
    EXPECT_FALSE(ConvertHexToImage(dir / "in.hex", dir / "no/such/folder.bin", 0, report));
    EXPECT_EQ(report.error, HexImageError::CreateImage);
}

TEST_F(HexToImage, RefusesImagesPastTheLimit) {
    // A stray extended address would otherwise mean 4 GiB of zeros.
    bool ok = true;
    Convert(Record(0, 0, {1}) + ExtendedLinear(0xFFFF) + Record(0, 0xFFF0, {1}) + EndRecord(), 0,
            &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(report.error, HexImageError::TooLarge);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
    // Exactly 64 MiB is still fine; one byte more is not.
    const std::string edge = ExtendedLinear(0x0400) + Record(0, 0, {}) + EndRecord();
    EXPECT_EQ(Convert(edge, 0).size(), kMaxImageSize);
    Convert(ExtendedLinear(0x0400) + Record(0, 0, {1}) + EndRecord(), 0, &ok);
    EXPECT_FALSE(ok);
}

TEST_F(HexToImage, LeavesLongGapsAsHoles) {
    // A file of 16 MiB that the file system keeps without data blocks tells
    // whether it has holes at all.
    const std::string probe = dir / "probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 16 << 20), 0);
    ::close(fd);
    if (DiskUse(probe) > (1 << 20)) GTEST_SKIP() << "the file system keeps no holes";

    // Far apart, back into a gap, a short step past the end, and a record
    // without data that lengthens the image.
    const std::string text = Record(0, 0x2000, {1, 2, 3}) + ExtendedLinear(0x00F0) +
                             Record(0, 0, {4, 5}) + ExtendedLinear(0x0080) + Record(0, 0x10, {6}) +
                             ExtendedLinear(0x00F0) + Record(0, 0x1000, {7}) +
                             ExtendedLinear(0x0100) + Record(0, 0, {}) + EndRecord();
    Bytes expected(0x1000000 - 0x2000);
    expected[0] = 1, expected[1] = 2, expected[2] = 3;
    expected[0xF00000 - 0x2000] = 4, expected[0xF00001 - 0x2000] = 5;
    expected[0x800010 - 0x2000] = 6;
    expected[0xF01000 - 0x2000] = 7;
    EXPECT_EQ(Convert(text, 0x2000), expected);
    EXPECT_EQ(report.imageSize, expected.size());
    EXPECT_LT(DiskUse(dir / "out.bin"), uint64_t{1} << 20);
}
