#include "lib/hex/hex_to_image.h"

#include "base/platform/descriptors.h"
#include "base/platform/files.h"
#include "lib/hex/hex_reader.h"
#include "lib/hex/image_writer.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

enum RecordType : uint8_t { kData = 0x00, kEndOfFile = 0x01, kExtendedLinear = 0x04 };

// One conversion: the state of the reading loop.
class Converter {
public:
    Converter(HexReader& reader, ImageWriter& image, uint32_t base, HexImageReport& report)
        : reader_(reader), image_(image), base_(base), end_(base), report_(report) {}

    // Reads records until the end record, a line without record mark or the
    // end of the file. Returns false on a failure that spoils the image.
    bool Run() {
        HexRecordHeader header;
        HexStart start = reader_.ReadHeader(header);
        if (start != HexStart::Record) return Stopped(start, header, false);
        for (;;) {
            reader_.StartCapture();
            const bool more = ReadRecord(header);
            reader_.StopCapture();
            report_.warnings.Note(CheckHexRecord({header.text, 9}, reader_.Captured()),
                                  header.line);
            if (report_.error != HexImageError::None) return false;
            if (!more || endOfFile_) return true;
            start = reader_.ReadHeader(header);
            if (start != HexStart::Record) return Stopped(start, header, true);
        }
    }

    uint64_t ImageSize() const { return end_ - base_; }

private:
    // Reading stopped at a line that is no record (or at the end of the
    // file): counts the records that follow, which are not converted, so
    // that the person can be told; notes a file without any record (one
    // that is not Intel HEX at all). Always true.
    bool Stopped(HexStart start, const HexRecordHeader& header, bool recordsBefore) {
        if (start != HexStart::NotRecord) return true;
        // A line of blanks counts as empty; its first character was read.
        const char first = header.text[0];
        bool empty = first == '\n';
        if (!empty) {
            std::string_view rest;
            bool blank = first == '\r' || first == ' ' || first == '\t';
            bool whole = false;
            while (!whole) {
                whole = reader_.NextLinePiece(rest);
                if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos) blank = false;
            }
            empty = blank;
        }
        unsigned records = 0;
        HexRecordHeader next;
        for (;;) {
            const HexStart found = reader_.ReadHeader(next);
            if (found == HexStart::End) break;
            if (found == HexStart::Record) ++records;
            if (next.text[0] != '\n' && !reader_.SkipLine()) break;
        }
        if (records > 0) {
            report_.stop = empty ? HexStop::EmptyLine : HexStop::NotRecord;
            report_.stopLine = header.line;
            report_.recordsAfterStop = records;
        } else if (!recordsBefore) {
            report_.notHexLine = header.line;
        }
        return true;
    }

    // Reads the rest of one record and acts on it; false when the file ended.
    bool ReadRecord(const HexRecordHeader& header) {
        uint32_t value = 0;
        switch (header.type) {
        case kData: {
            const uint32_t address = extendedBase_ + header.address;
            if (data_.size() < header.count) {
                try {
                    std::vector<uint8_t>().swap(data_);
                    data_.resize(header.count);
                } catch (const std::bad_alloc&) {
                    report_.error = HexImageError::NoMemory;
                    return false;
                }
            }
            for (unsigned i = 0; i < header.count; ++i) {
                // A record cut short by the end of the file is not placed.
                if (!reader_.ReadDigits(2, value)) return false;
                data_[i] = static_cast<uint8_t>(value);
            }
            if (address < base_ && header.count > 0 && report_.belowBase++ == 0)
                report_.firstBelowBaseLine = header.line;
            Place(address, header.count);
            break;
        }
        case kEndOfFile:
            endOfFile_ = true;
            break;
        case kExtendedLinear:
            if (!reader_.ReadDigits(4, value)) return false;
            extendedBase_ = ((value & 0xFFFFu) << 16) + header.address;
            break;
        default:
            break;
        }
        // The checksum is skipped, then the rest of the line.
        if (reader_.Get() == EOF || reader_.Get() == EOF) return false;
        return reader_.SkipLine();
    }

    // Writes count bytes of data_ for absolute address a.
    void Place(uint32_t a, unsigned count) {
        const uint64_t stop = uint64_t{a} + count;
        if (stop <= base_) return;
        uint64_t position = a;
        unsigned skip = 0;
        if (a < base_) {
            skip = base_ - a;
            position = base_;
        }
        if (stop - base_ > kMaxImageSize) {
            report_.error = HexImageError::TooLarge;
            return;
        }
        if (position > end_) {
            image_.ZerosAt(end_ - base_, position - end_);
            end_ = position;
        }
        image_.WriteAt(position - base_, data_.data() + skip, count - skip);
        if (stop > end_) end_ = stop;
    }

    HexReader& reader_;
    ImageWriter& image_;
    const uint64_t base_;
    uint64_t end_;
    uint32_t extendedBase_ = 0;
    bool endOfFile_ = false;
    std::vector<uint8_t> data_;
    HexImageReport& report_;
};

} // namespace

bool ConvertHexToImage(const std::string& hexPath, const std::string& imagePath, uint32_t base) {
    HexImageReport report;
    return ConvertHexToImage(hexPath, imagePath, base, report);
}

bool ConvertHexToImage(const std::string& hexPath, const std::string& imagePath, uint32_t base,
                       HexImageReport& report) {
    report = HexImageReport{};
    report.base = base;
    FilePtr hex(platform::OpenFile(hexPath, "rb"));
    if (!hex) {
        report.error = HexImageError::OpenHex;
        return false;
    }
    ImageWriter image;
    if (!image.Open(imagePath)) {
        report.error = HexImageError::CreateImage;
        return false;
    }
    HexReader reader(hex.get(), 1 << 16);
    Converter converter(reader, image, base, report);
    bool ok = converter.Run();
    if (ok && reader.Failed()) {
        report.error = HexImageError::ReadHex;
        ok = false;
    }
    if (!image.Close() && ok) {
        report.error = HexImageError::WriteImage;
        ok = false;
    }
    if (!ok) {
        platform::RemoveFile(imagePath);
        return false;
    }
    report.imageSize = converter.ImageSize();
    return true;
}

const char* HexImageErrorText(HexImageError error) {
    switch (error) {
    case HexImageError::None:
        return "no error";
    case HexImageError::OpenHex:
        return "the HEX file cannot be opened";
    case HexImageError::ReadHex:
        return "the HEX file cannot be read";
    case HexImageError::CreateImage:
        return "the image file cannot be created";
    case HexImageError::NoMemory:
        return "out of memory";
    case HexImageError::TooLarge:
        return "the image would be larger than 64 MiB";
    case HexImageError::WriteImage:
        return "the image file cannot be written";
    }
    return "unknown error";
}
