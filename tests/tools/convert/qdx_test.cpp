// QDX decoding: generated recordings against opencore-amr's own decoding of
// the same storage frames, and the container's edge cases.
#include "bit_order_file.h"
#include "tools/convert/qdx_to_wav.h"
#include "test_files.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"
#include "lib/voice/voice_convert.h"
#include "voice_data.h"

#include <opencore-amrnb/interf_dec.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace {

using testfiles::Bytes;
using voicedata::AmrFrame;

// Decodes storage frames directly, as the oracle.
std::vector<std::int16_t> ReferenceDecode(const std::vector<AmrFrame>& frames) {
    void* state = Decoder_Interface_init();
    std::vector<std::int16_t> pcm;
    short out[160];
    for (const AmrFrame& f : frames) {
        AmrFrame padded = f;
        padded.resize(32, 0);
        Decoder_Interface_Decode(state, padded.data(), out, 0);
        pcm.insert(pcm.end(), out, out + 160);
    }
    Decoder_Interface_exit(state);
    return pcm;
}

// Bit orders read from the published tables' data file, so that a wrong table in the
// converter cannot cancel out against the generator.
class QdxTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables_ = testfiles::ReadBitOrderFile(testfiles::BitOrderFilePath());
        ASSERT_EQ(tables_["MR475"].size(), 95u);
        ASSERT_EQ(tables_["MR59"].size(), 118u);
        orders_ = {tables_["MR475"].data(), tables_["MR59"].data()};
    }

    Bytes Pack(const std::vector<AmrFrame>& frames, bool mr59, bool typed) {
        voicedata::QdxLayout layout;
        layout.mr59 = mr59;
        layout.typed = typed;
        return voicedata::PackQdx(frames, layout, orders_);
    }

    // Converts `qdx` and returns the result and the WAV.
    int Convert(const Bytes& qdx, Bytes& wav, convert::Progress progress = nullptr,
                void* user = nullptr) {
        testfiles::WriteBytes(dir_ / "in.qdx", qdx);
        const int r = convert::QdxFileToWav((dir_ / "in.qdx").c_str(), (dir_ / "out.wav").c_str(),
                                            progress, user);
        wav = testfiles::ReadBytes(dir_ / "out.wav");
        return r;
    }

    static void ExpectPcmWav(const Bytes& wav, std::size_t frames) {
        ASSERT_EQ(wav.size(), 44 + 320 * frames);
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
        EXPECT_EQ(testfiles::Le32(wav, 4), wav.size() - 8);
        EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(testfiles::Le32(wav, 16), 16u);
        EXPECT_EQ(testfiles::Le16(wav, 20), 1u);
        EXPECT_EQ(testfiles::Le16(wav, 22), 1u);
        EXPECT_EQ(testfiles::Le32(wav, 24), 8000u);
        EXPECT_EQ(testfiles::Le32(wav, 28), 16000u);
        EXPECT_EQ(testfiles::Le16(wav, 32), 2u);
        EXPECT_EQ(testfiles::Le16(wav, 34), 16u);
        EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
        EXPECT_EQ(testfiles::Le32(wav, 40), wav.size() - 44);
    }

    std::map<std::string, std::vector<std::uint8_t>> tables_;
    voicedata::BitOrders orders_{};
    TempFolder dir_;
};

std::map<int, int> StorageTypes(const std::vector<AmrFrame>& frames) {
    std::map<int, int> n;
    for (const AmrFrame& f : frames)
        ++n[(f[0] >> 3) & 15];
    return n;
}

TEST_F(QdxTest, DecodesLikeTheReferenceInEveryLayout) {
    const auto speech = voicedata::SpeechSignal(12.0, 7);
    for (bool mr59 : {false, true}) {
        for (bool dtx : {false, true}) {
            const auto frames = voicedata::EncodeAmr(speech, mr59, dtx);
            if (dtx) {
                const auto types = StorageTypes(frames);
                ASSERT_GT(types.count(8), 0u) << "SID frames expected";
                ASSERT_GT(types.count(15), 0u) << "no-data frames expected";
            }
            const auto reference = ReferenceDecode(frames);
            for (bool typed : {true, false}) {
                if (dtx && !typed) continue; // SID and no-data frames need the type bits
                SCOPED_TRACE(testing::Message()
                             << "mr59=" << mr59 << " dtx=" << dtx << " typed=" << typed);
                Bytes wav;
                ASSERT_EQ(Convert(Pack(frames, mr59, typed), wav), 0);
                ExpectPcmWav(wav, frames.size());
                EXPECT_EQ(testfiles::Samples(wav, 44), reference);
            }
        }
    }
}

TEST_F(QdxTest, SidFirstAndUpdateAreTellApart) {
    // Both SID kinds must occur, and each must decode as its own kind.
    const auto frames = voicedata::EncodeAmr(voicedata::SpeechSignal(8.0, 3), false, true);
    int first = 0, update = 0;
    for (const AmrFrame& f : frames)
        if (((f[0] >> 3) & 15) == 8) ++((f[1 + 35 / 8] >> (7 - 35 % 8)) & 1 ? update : first);
    EXPECT_GT(first, 0);
    EXPECT_GT(update, 0);
    Bytes qdx = Pack(frames, false, true);
    Bytes wav;
    ASSERT_EQ(Convert(qdx, wav), 0);
    EXPECT_EQ(testfiles::Samples(wav, 44), ReferenceDecode(frames));

    // The SID kind comes from the type bits and the mode indication from the
    // file's mode: the four bits after the 35 comfort-noise bits are not used.
    std::size_t at = 9;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i > 0 && i % 10 == 0) at += 7;
        const int type = qdx[at] & 3;
        if (type == 1 || type == 2)
            for (int bit = 2 + 35; bit < 2 + 39; ++bit)
                qdx[at + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        at += type == 0 ? 13 : type == 3 ? 1 : 6;
    }
    ASSERT_EQ(at, qdx.size() - (frames.size() % 10 == 0 ? 7 : 0));
    ASSERT_EQ(Convert(qdx, wav), 0);
    EXPECT_EQ(testfiles::Samples(wav, 44), ReferenceDecode(frames));
}

TEST_F(QdxTest, FiveNineFileStartingWithNoDataKeepsItsFrameLengths) {
    auto frames = voicedata::EncodeAmr(voicedata::SpeechSignal(3.0, 5), true, true);
    frames.insert(frames.begin(), 5, AmrFrame{0x7C});
    Bytes wav;
    ASSERT_EQ(Convert(Pack(frames, true, true), wav), 0);
    ExpectPcmWav(wav, frames.size());
    EXPECT_EQ(testfiles::Samples(wav, 44), ReferenceDecode(frames));
}

TEST_F(QdxTest, HeaderOnlyGivesEmptyWav) {
    Bytes wav;
    ASSERT_EQ(Convert({0, 1, 0xFF, 0xFB, 1, 2, 3, 4, 5}, wav), 0);
    ExpectPcmWav(wav, 0);
}

TEST_F(QdxTest, RejectedHeadersLeaveTheOutputEmpty) {
    const std::vector<Bytes> bad = {
        {},
        {0, 1, 0xFF},                      // shorter than 4 bytes
        {0, 1, 0xFF, 0xFA, 0, 0, 0, 0, 0}, // no group sync
        {2, 1, 0xFF, 0xFB, 0, 0, 0, 0, 0}, // unknown mode
        {0xFF, 0, 0xFF, 0xFB, 0, 0, 0, 0, 0},
    };
    for (const Bytes& b : bad) {
        Bytes wav;
        EXPECT_EQ(Convert(b, wav), -1);
        EXPECT_TRUE(wav.empty());
    }
    testfiles::WriteBytes(dir_ / "bad.qdx", bad[2]);
    std::FILE* in = std::fopen((dir_ / "bad.qdx").c_str(), "rb");
    std::FILE* out = std::fopen((dir_ / "bad.wav").c_str(), "wb");
    EXPECT_EQ(convert::QdxToWav(in, out, nullptr, nullptr), -1);
    std::fclose(in);
    std::fclose(out);
    EXPECT_TRUE(testfiles::ReadBytes(dir_ / "bad.wav").empty());
}

TEST_F(QdxTest, FrameSizesAndProgressPositions) {
    // Mode 0 with type bits: speech 13 bytes, SID 6, no data 1; progress is
    // reported at the end of each frame's payload, group headers included.
    const auto frames = voicedata::EncodeAmr(voicedata::SpeechSignal(6.0, 9), false, true);
    const Bytes qdx = Pack(frames, false, true);
    std::vector<long> expected;
    long pos = 9;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i > 0 && i % 10 == 0) pos += 7;
        const int type = (frames[i][0] >> 3) & 15;
        pos += type == 0 ? 13 : type == 8 ? 6 : 1;
        expected.push_back(pos);
    }
    struct Seen {
        std::vector<long> positions;
        long total = -1;
    } seen;
    Bytes wav;
    ASSERT_EQ(Convert(
                  qdx, wav,
                  [](long done, long total, void* user) {
                      auto* s = static_cast<Seen*>(user);
                      s->positions.push_back(done);
                      s->total = total;
                      return 0;
                  },
                  &seen),
              0);
    EXPECT_EQ(seen.positions, expected);
    EXPECT_EQ(seen.total, static_cast<long>(qdx.size()));
}

TEST_F(QdxTest, DamagedGroupsAndEndings) {
    const auto frames =
        voicedata::EncodeAmr(voicedata::SpeechSignal(0.5, 2), false, false); // 25 frames
    const Bytes good = Pack(frames, false, false);
    const auto reference = ReferenceDecode(frames);
    const std::size_t secondHeader = 9 + 10 * 12;

    // A header missing after 10 frames: the two bytes in its place are lost.
    Bytes missing(good.begin(), good.begin() + static_cast<long>(secondHeader));
    missing.push_back(0x12);
    missing.push_back(0x34);
    missing.insert(missing.end(), good.begin() + static_cast<long>(secondHeader + 7), good.end());
    Bytes wav;
    ASSERT_EQ(Convert(missing, wav), 0);
    EXPECT_EQ(testfiles::Samples(wav, 44), reference);

    // Ending inside a group header after 10 frames: ends normally.
    for (std::size_t cut : {1u, 2u, 5u, 7u}) {
        Bytes shortHeader(good.begin(), good.begin() + static_cast<long>(secondHeader + cut));
        ASSERT_EQ(Convert(shortHeader, wav), 0);
        ExpectPcmWav(wav, 10);
    }

    // A last frame cut short by the end of the file is dropped.
    Bytes cutFrame(good.begin(), good.end() - 1);
    ASSERT_EQ(Convert(cutFrame, wav), 0);
    ExpectPcmWav(wav, 24);
    EXPECT_EQ(testfiles::Samples(wav, 44),
              std::vector<std::int16_t>(reference.begin(), reference.end() - 160));
}

TEST_F(QdxTest, StoppedByProgress) {
    const auto frames = voicedata::EncodeAmr(voicedata::SpeechSignal(0.5, 2), false, false);
    int calls = 0;
    Bytes wav;
    EXPECT_EQ(Convert(
                  Pack(frames, false, false), wav,
                  [](long, long, void* user) { return ++*static_cast<int*>(user) == 5 ? 1 : 0; },
                  &calls),
              -3);
    // Placeholder header and the four frames decoded before the stop.
    ASSERT_EQ(wav.size(), 44u + 4 * 320u);
    EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 44), Bytes(44, 0));
}

} // namespace
