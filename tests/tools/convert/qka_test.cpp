// QKA block extraction: sox as the independent decoder, and the scanner's
// edge cases.
#include "test_files.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"
#include "lib/voice/input_chunks.h"
#include "lib/voice/qka_convert.h"
#include "lib/voice/voice_convert.h"
#include "voice_data.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

using testfiles::Bytes;
using voicedata::ImaBlock;

class QkaTest : public ::testing::Test {
protected:
    // Converts `qka` and returns the blocks found; checks the WAV layout.
    std::vector<ImaBlock> Blocks(const Bytes& qka, int* result = nullptr) {
        testfiles::WriteBytes(dir_ / "in.qka", qka);
        const int r = convert::QkaFileToWav((dir_ / "in.qka").c_str(), (dir_ / "out.wav").c_str(),
                                            nullptr, nullptr);
        if (result) *result = r;
        EXPECT_EQ(r, 0);
        const Bytes wav = testfiles::ReadBytes(dir_ / "out.wav");
        EXPECT_GE(wav.size(), 72u);
        EXPECT_EQ((wav.size() - 72) % 256, 0u);
        const std::uint32_t n = static_cast<std::uint32_t>((wav.size() - 72) / 256);
        EXPECT_EQ(testfiles::Le32(wav, 4), 64 + 256 * n);
        EXPECT_EQ(testfiles::Le32(wav, 44), 256 * n);
        EXPECT_EQ(testfiles::Le32(wav, 56 + 256 * n), 505 * n);
        std::vector<ImaBlock> blocks(n);
        for (std::uint32_t i = 0; i < n; ++i)
            std::copy_n(wav.begin() + 48 + 256 * i, 256, blocks[i].begin());
        return blocks;
    }

    static std::vector<ImaBlock> Distinct(std::size_t n) {
        std::vector<ImaBlock> blocks(n);
        std::mt19937 rng(static_cast<unsigned>(n));
        for (auto& b : blocks)
            for (auto& x : b)
                x = static_cast<std::uint8_t>(rng() % 0x7F); // no 0x7F in the data
        return blocks;
    }

    static void Append(Bytes& to, const Bytes& what) {
        to.insert(to.end(), what.begin(), what.end());
    }

    TempFolder dir_;
};

// The blocks of an IMA ADPCM WAV that sox made, with junk around them and
// one block across the first 2048-byte read: sox decodes qka2wav's output
// to the same samples as its own WAV.
TEST_F(QkaTest, SoxDecodesTheOutputLikeTheOriginal) {
    if (!testfiles::HaveSox()) GTEST_SKIP() << "sox is not installed";
    const auto speech = voicedata::SpeechSignal(40 * 505 / 8000.0 + 0.001, 4);
    Bytes raw;
    for (std::size_t i = 0; i < 40 * 505; ++i) {
        raw.push_back(static_cast<std::uint8_t>(speech[i]));
        raw.push_back(static_cast<std::uint8_t>(speech[i] >> 8));
    }
    testfiles::WriteBytes(dir_ / "in.raw", raw);
    ASSERT_TRUE(sdtest::Shell("sox -t raw -r 8000 -e signed -b 16 -c 1 '" + dir_ / "in.raw" +
                              "' -e ima-adpcm '" + dir_ / "ima.wav" + "'"));
    const Bytes ima = testfiles::ReadBytes(dir_ / "ima.wav");

    // The data chunk's blocks.
    std::size_t at = 12;
    while (at + 8 <= ima.size() && std::string(ima.begin() + static_cast<long>(at),
                                               ima.begin() + static_cast<long>(at + 4)) != "data")
        at += 8 + testfiles::Le32(ima, at + 4);
    ASSERT_LT(at + 8, ima.size());
    ASSERT_EQ(testfiles::Le16(ima, 32), 256u) << "block align";
    const std::uint32_t dataSize = testfiles::Le32(ima, at + 4);
    ASSERT_EQ(dataSize, 40u * 256u);

    Bytes qka(13, 0x11);
    bool straddles = false;
    for (std::size_t b = 0; b < 40; ++b) {
        const std::size_t start = qka.size();
        ImaBlock block;
        std::copy_n(ima.begin() + static_cast<long>(at + 8 + 256 * b), 256, block.begin());
        Append(qka, voicedata::QkaBlock(block, static_cast<std::uint8_t>(b)));
        straddles |= start < 2048 && start + 260 > 2048;
        if (b % 3 == 0) // junk between some blocks: a fragment of a block
            Append(qka, Bytes{0x7F, 0x7F, 0x7F, 0x00, 0x7E, 0x7F, 0x7F, 0x10});
    }
    Append(qka, Bytes{0x7F, 0x7F, 0x7F, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05});
    ASSERT_TRUE(straddles);

    testfiles::WriteBytes(dir_ / "in.qka", qka);
    const auto run =
        sdtest::RunProgram(SD_BIN_DIR "/qka2wav", {dir_ / "in.qka", dir_ / "out.wav"}, dir_.Path());
    ASSERT_EQ(run.status, 1) << run.err;
    ASSERT_TRUE(sdtest::Shell("sox '" + dir_ / "out.wav" + "' -t raw -e signed -b 16 '" +
                              dir_ / "ours.raw" + "'"));
    ASSERT_TRUE(sdtest::Shell("sox '" + dir_ / "ima.wav" + "' -t raw -e signed -b 16 '" +
                              dir_ / "sox.raw" + "'"));
    const Bytes ours = testfiles::ReadBytes(dir_ / "ours.raw");
    EXPECT_EQ(ours.size(), 40u * 505u * 2u);
    EXPECT_EQ(ours, testfiles::ReadBytes(dir_ / "sox.raw"));
}

TEST_F(QkaTest, LastBlockAndWhatFollowsIt) {
    const auto blocks = Distinct(1);
    const Bytes one = voicedata::PackQka(blocks);
    EXPECT_EQ(Blocks(one), blocks);
    for (std::size_t extra = 1; extra <= 3; ++extra) {
        Bytes b = one;
        Append(b, Bytes(extra, 0x55));
        EXPECT_EQ(Blocks(b), blocks) << extra << " extra bytes";
    }
    for (std::size_t extra : {4u, 5u, 300u}) {
        Bytes b = one;
        Append(b, Bytes(extra, 0x55));
        EXPECT_TRUE(Blocks(b).empty()) << extra << " extra bytes";
    }
    EXPECT_TRUE(Blocks({}).empty());
    EXPECT_TRUE(Blocks(Bytes(one.begin(), one.end() - 1)).empty()) << "a block cut short";
}

TEST_F(QkaTest, BlockFollowedByJunkIsNotTaken) {
    // A block counts only when the next sync or the end of the file follows.
    const auto blocks = Distinct(3);
    Bytes qka;
    Append(qka, voicedata::QkaBlock(blocks[0]));
    Append(qka, Bytes(10, 0x42));
    Append(qka, voicedata::QkaBlock(blocks[1]));
    Append(qka, voicedata::QkaBlock(blocks[2]));
    EXPECT_EQ(Blocks(qka), std::vector<ImaBlock>(blocks.begin() + 1, blocks.end()));
}

TEST_F(QkaTest, ManyBlocksWithJunkAndSyncInsideData) {
    auto blocks = Distinct(20);
    // Sync bytes inside the data, 260 bytes apart, must not start a block.
    for (std::size_t i = 3; i < 8; ++i)
        std::fill_n(blocks[i].begin() + 100, 3, 0x7F);
    const Bytes packed = voicedata::PackQka(blocks);
    EXPECT_EQ(Blocks(packed), blocks);

    Bytes junk{0x7F, 0x7F, 0x01, 0x7F, 0x7F, 0x7F};
    Append(junk, packed);
    Append(junk, Bytes(2000, 0x00));
    Append(junk, voicedata::QkaBlock(blocks[0], 9));
    EXPECT_EQ(Blocks(junk).size(), 20u)
        << "the last block is followed by neither a sync nor the end";

    // A cut-off block at the end: the block before it is still taken.
    Bytes cut = packed;
    Append(cut, Bytes{0x7F, 0x7F, 0x7F, 0x00, 0x10});
    EXPECT_EQ(Blocks(cut), blocks);
}

TEST_F(QkaTest, EveryOffsetAcrossTheReadBoundary) {
    // Three blocks around offset 2048, for every position of the boundary
    // inside the middle one.
    const auto blocks = Distinct(3);
    for (std::size_t lead = 2048 - 260 - 264; lead <= 2048 - 260 + 4; ++lead) {
        Bytes qka(lead, 0x20);
        Append(qka, voicedata::PackQka(blocks));
        ASSERT_EQ(Blocks(qka), blocks) << "lead " << lead;
    }
}

TEST_F(QkaTest, ProgressAfterEveryRead) {
    struct Seen {
        std::vector<long> done;
        long total = -1;
    };
    auto record = [](long done, long total, void* user) {
        auto* s = static_cast<Seen*>(user);
        s->done.push_back(done);
        s->total = total;
        return 0;
    };
    const Bytes qka = voicedata::PackQka(Distinct(30)); // 7800 bytes
    testfiles::WriteBytes(dir_ / "in.qka", qka);
    Seen seen;
    ASSERT_EQ(
        convert::QkaFileToWav((dir_ / "in.qka").c_str(), (dir_ / "out.wav").c_str(), record, &seen),
        0);
    EXPECT_EQ(seen.total, 7800);
    // The unscanned rest (228 bytes) stays in the buffer before each read;
    // after the end has been met, each further read gets nothing but still
    // prints its line.
    EXPECT_EQ(seen.done, (std::vector<long>{2048, 3868, 5688, 7508, 7800, 7800, 7800}));

    testfiles::WriteBytes(dir_ / "empty.qka", {});
    Seen empty;
    ASSERT_EQ(convert::QkaFileToWav((dir_ / "empty.qka").c_str(), (dir_ / "out.wav").c_str(),
                                    record, &empty),
              0);
    EXPECT_EQ(empty.done, std::vector<long>{0});
    EXPECT_EQ(empty.total, 0);

    // A nonzero return stops the conversion.
    int calls = 0;
    EXPECT_EQ(convert::QkaFileToWav(
                  (dir_ / "in.qka").c_str(), (dir_ / "out.wav").c_str(),
                  [](long, long, void* user) { return ++*static_cast<int*>(user) == 2 ? 1 : 0; },
                  &calls),
              -3);
    EXPECT_EQ(calls, 2);
}

// qka2wav reads a file in large chunks; the whole-file call reads it through
// its 2048-byte buffer. Both give the same WAV and the same progress after
// each read, for blocks across the read and chunk boundaries, junk with sync
// bytes, a block cut off at the end and a last block followed by fewer than
// 4 bytes.
TEST_F(QkaTest, TheProgramReadsInChunksAsTheBufferedCallReads) {
    const auto blocks = Distinct(40);
    std::vector<Bytes> inputs;
    for (std::size_t lead : {0u, 1u, 1787u, 2047u, 4000u, (1u << 20) - 1000u}) {
        Bytes qka(lead, 0x20);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            Append(qka, voicedata::QkaBlock(blocks[b], static_cast<std::uint8_t>(b)));
            if (b % 7 == lead % 5) Append(qka, Bytes{0x7F, 0x7F, 0x7F, 0x00, 0x7F, 0x7F, 0x10});
        }
        inputs.push_back(qka);
        Append(qka, Bytes{0x7F, 0x7F, 0x7F, 0x00, 0x01});
        inputs.push_back(qka);
        inputs.push_back(Bytes(qka.begin(), qka.end() - 7));
    }
    auto record = [](long done, long total, void* user) {
        std::string& lines = *static_cast<std::string*>(user);
        lines += std::to_string(done) + " / " + std::to_string(total) + " (" +
                 std::to_string(total > 0 ? done * 100 / total : 0) + " %)\r";
        return 0;
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        testfiles::WriteBytes(dir_ / "in.qka", inputs[i]);
        std::string lines;
        ASSERT_EQ(convert::QkaFileToWav((dir_ / "in.qka").c_str(), (dir_ / "buffered.wav").c_str(),
                                        record, &lines),
                  0);
        const auto run = sdtest::RunProgram(SD_BIN_DIR "/qka2wav",
                                            {dir_ / "in.qka", dir_ / "mapped.wav"}, dir_.Path());
        ASSERT_EQ(run.status, 1) << run.err;
        const std::string banner = "Zentrovia ADPCM file conversion program\nCopyright (C) Zentrovia\n";
        EXPECT_EQ(run.out, banner + lines) << "input " << i;
        EXPECT_EQ(testfiles::ReadBytes(dir_ / "mapped.wav"),
                  testfiles::ReadBytes(dir_ / "buffered.wav"))
            << "input " << i;
    }
}

// A file cut short while it is read in chunks ends the conversion with a
// read error, never a WAV of what was read before.
TEST_F(QkaTest, AFileCutShortWhileReadIsAReadError) {
    const auto blocks = Distinct(40);
    Bytes qka;
    while (qka.size() < 3 * convert::InputChunks::kChunkSize)
        for (std::size_t b = 0; b < blocks.size(); ++b)
            Append(qka, voicedata::QkaBlock(blocks[b], static_cast<std::uint8_t>(b)));
    const std::string in = dir_ / "in.qka";
    testfiles::WriteBytes(in, qka);
    const int fd = open(in.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    convert::InputChunks chunks(fd);
    ASSERT_TRUE(chunks.Usable());
    std::FILE* out = std::fopen((dir_ / "out.wav").c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::string path = in;
    const auto cut = [](long, long, void* user) {
        return truncate(static_cast<std::string*>(user)->c_str(), 1000) == 0 ? 0 : 1;
    };
    EXPECT_EQ(convert::ConvertChunkedQka(chunks, out, cut, &path), convert::Outcome::ReadError);
    std::fclose(out);
    close(fd);
}

TEST_F(QkaTest, GeneratedRecordingIsDecodableSpeech) {
    if (!testfiles::HaveSox()) GTEST_SKIP() << "sox is not installed";
    ASSERT_TRUE(voicedata::MakeQkaRecording(dir_ / "demo.qka", 2.0));
    const auto run = sdtest::RunProgram(SD_BIN_DIR "/qka2wav",
                                        {dir_ / "demo.qka", dir_ / "demo.wav"}, dir_.Path());
    ASSERT_EQ(run.status, 1);
    ASSERT_TRUE(sdtest::Shell("sox '" + dir_ / "demo.wav" + "' -t raw -e signed -b 16 '" +
                              dir_ / "demo.raw" + "'"));
    const auto decoded = testfiles::Samples(testfiles::ReadBytes(dir_ / "demo.raw"), 0);
    const auto original = voicedata::SpeechSignal(2.0);
    ASSERT_GE(decoded.size(), original.size());
    // IMA ADPCM is lossy (sox's own encoder gets about 9 dB on this signal).
    double signal = 0, error = 0;
    for (std::size_t i = 0; i < original.size(); ++i) {
        signal += double(original[i]) * original[i];
        error += double(original[i] - decoded[i]) * (original[i] - decoded[i]);
    }
    EXPECT_LT(error * 4, signal) << "more than 6 dB signal to noise";
}

} // namespace
