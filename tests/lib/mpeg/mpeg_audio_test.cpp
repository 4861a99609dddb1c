// MPEG audio facts of files that ffmpeg encodes, checked against ffprobe.
#include "lib/mpeg/mp3_tags.h"
#include "lib/mpeg/mpeg_audio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Encoding {
    const char* name;
    const char* args; // ffmpeg output options
    int version, sampleRate;
    mpeg::ChannelMode mode;
    bool vbr;
};

class MpegFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
        dir_ = fs::temp_directory_path() / ("mpeg_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Encode(const std::string& name, const std::string& args) {
        const std::string out = (dir_ / name).string();
        const std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i "
                                "\"sine=frequency=440:duration=3\" -c:a libmp3lame " +
                                args + " '" + out + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        return out;
    }
    static double ProbeSeconds(const std::string& path) {
        const std::string cmd =
            "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'";
        FILE* p = popen(cmd.c_str(), "r");
        double seconds = -1;
        if (p) {
            if (std::fscanf(p, "%lf", &seconds) != 1) seconds = -1;
            pclose(p);
        }
        return seconds;
    }
    static std::vector<std::uint8_t> Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
};

TEST_F(MpegFiles, ConstantAndVariableRateStreamsMatchTheDecoder) {
    const Encoding encodings[] = {
        {"cbr.mp3", "-ac 2 -ar 44100 -b:a 128k", 10, 44100, mpeg::ChannelMode::JointStereo, false},
        {"dual.mp3", "-ac 2 -ar 48000 -b:a 192k -joint_stereo 0", 10, 48000,
         mpeg::ChannelMode::Stereo, false},
        {"vbr.mp3", "-ac 1 -ar 22050 -q:a 4", 20, 22050, mpeg::ChannelMode::Mono, true},
        {"low.mp3", "-ac 1 -ar 8000 -b:a 16k -write_xing 0", 25, 8000, mpeg::ChannelMode::Mono,
         false},
    };
    for (const Encoding& e : encodings) {
        SCOPED_TRACE(e.name);
        const std::string path = Encode(e.name, e.args);
        mpeg::StreamInfo info;
        std::string error;
        ASSERT_TRUE(mpeg::AnalyseFile(path, info, error)) << error;
        ASSERT_TRUE(info.found);
        EXPECT_EQ(info.first.version, e.version);
        EXPECT_EQ(info.first.layer, 3);
        EXPECT_EQ(info.first.sampleRate, e.sampleRate);
        EXPECT_EQ(info.first.channelMode, e.mode);
        EXPECT_EQ(info.vbr, e.vbr);
        EXPECT_FALSE(info.truncated);
        EXPECT_NEAR(info.seconds, ProbeSeconds(path), 0.06);
        // A variable rate is averaged over the audio; a constant one is the frames' rate.
        if (e.vbr) {
            EXPECT_NEAR(info.averageKbps, info.audioBytes * 8 / info.seconds / 1000, 1);
        } else {
            EXPECT_EQ(info.averageKbps, info.first.bitrateKbps);
        }
    }
}

TEST_F(MpegFiles, TagsFromId3v2AndId3v1) {
    const std::string v2 = Encode("v2.mp3", "-b:a 64k -metadata title=Tëst -metadata artist=Ann");
    EXPECT_EQ(mpeg::ReadTags(v2).title, "Tëst");
    EXPECT_EQ(mpeg::ReadTags(v2).artist, "Ann");
    // An ID3v1 tag appended to a file without ID3v2.
    const std::string v1 = Encode("v1.mp3", "-b:a 64k -id3v2_version 0");
    {
        std::string tag(128, '\0');
        tag.replace(0, 3, "TAG");
        tag.replace(3, 3, "Old");
        std::ofstream(v1, std::ios::binary | std::ios::app) << tag;
    }
    EXPECT_EQ(mpeg::ReadTags(v1).title, "Old");
    EXPECT_EQ(mpeg::ReadTags(v1).artist, "");
    EXPECT_EQ(mpeg::ReadTags((dir_ / "missing.mp3").string()).title, "");
}

TEST_F(MpegFiles, CutAndDamagedStreamsGiveWhatCanBeRead) {
    const std::string path = Encode("vbr.mp3", "-ac 2 -ar 44100 -q:a 2 -metadata title=Cut");
    const std::vector<std::uint8_t> bytes = Bytes(path);
    mpeg::StreamInfo whole = mpeg::AnalyseStream(bytes);
    ASSERT_TRUE(whole.found);
    EXPECT_EQ(whole.source, mpeg::CountSource::XingHeader);

    // Cut in the middle of a frame: the info header's count no longer holds.
    const std::vector<std::uint8_t> half(bytes.begin(), bytes.begin() + bytes.size() / 2 + 7);
    const mpeg::StreamInfo cut = mpeg::AnalyseStream(half);
    ASSERT_TRUE(cut.found);
    EXPECT_TRUE(cut.truncated);
    EXPECT_EQ(cut.source, mpeg::CountSource::FrameWalk);
    EXPECT_GT(cut.seconds, 1.0);
    EXPECT_LT(cut.seconds, whole.seconds * 0.7);
    {
        const std::string cutPath = (dir_ / "cut.mp3").string();
        std::ofstream(cutPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(half.data()), half.size());
        EXPECT_EQ(mpeg::ReadTags(cutPath).title, "Cut");
    }

    // A stretch of zeros in the middle is skipped; the frames after it count.
    std::vector<std::uint8_t> holed = bytes;
    std::fill(holed.begin() + holed.size() / 3, holed.begin() + holed.size() / 3 + 900, 0);
    const mpeg::StreamInfo damaged = mpeg::AnalyseStream(holed);
    EXPECT_TRUE(damaged.found);
    EXPECT_GT(damaged.seconds, whole.seconds * 0.8);

    // Every prefix and nonsense reads without fault.
    for (std::size_t n = 0; n < bytes.size(); n += 97)
        mpeg::AnalyseStream(std::span(bytes.data(), n));
    const std::vector<std::uint8_t> noise(5000, 0xFF);
    EXPECT_FALSE(mpeg::AnalyseStream(noise).found);
    EXPECT_FALSE(mpeg::AnalyseStream({}).found);
}

} // namespace
