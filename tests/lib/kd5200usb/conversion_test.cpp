// Upload with conversion: QKA and QDX recordings on the player become the
// same WAV files that the kit's converters write, whole or not at all.
#include "player_fixture.h"
#include "lib/voice/voice_convert.h"
#include "voice_data.h"

#include <csignal>
#include <random>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using kdtest::PlayerTest;
using kdtest::ReadFile;

class ConversionTest : public PlayerTest {
protected:
    // What the converter writes for the recording when called directly.
    std::string Expected(const std::string& recording, int kind) {
        const std::string direct = dir_ + "/direct.wav";
        const int rc =
            kind == KD5200_CONVERT_QKA_TO_WAV
                ? convert::QkaFileToWav(recording.c_str(), direct.c_str(), nullptr, nullptr)
                : convert::QdxFileToWav(recording.c_str(), direct.c_str(), nullptr, nullptr);
        EXPECT_EQ(rc, 0);
        return ReadFile(direct);
    }
};

TEST_F(ConversionTest, RecordingsBecomeWavFiles) {
    const std::string qka = pc_ + "/REC01.QKA", qdx = pc_ + "/REC02.QDX";
    ASSERT_TRUE(voicedata::MakeQkaRecording(qka, 2.0));
    ASSERT_TRUE(voicedata::MakeQdxRecording(qdx, 1, true, 2.0));
    ASSERT_TRUE(Download(0, qka));
    ASSERT_TRUE(Download(0, qdx));

    const std::string wav1 = dir_ + "/REC01.WAV", wav2 = dir_ + "/REC02.WAV";
    ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, 0, wav1.c_str(), "REC01.QKA", 0,
                            KD5200_CONVERT_QKA_TO_WAV),
              0)
        << KD5200_GetError();
    ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, 1, wav2.c_str(), "REC02.QDX", 0,
                            KD5200_CONVERT_QDX_TO_WAV),
              0)
        << KD5200_GetError();
    const std::string converted1 = ReadFile(wav1), converted2 = ReadFile(wav2);
    EXPECT_EQ(converted1.substr(0, 4), "RIFF");
    EXPECT_EQ(converted1, Expected(qka, KD5200_CONVERT_QKA_TO_WAV));
    EXPECT_EQ(converted2, Expected(qdx, KD5200_CONVERT_QDX_TO_WAV));

    // A QKA file is no QDX recording: the conversion fails, the old file stays.
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, wav2.c_str(), "REC01.QKA", 0,
                              KD5200_CONVERT_QDX_TO_WAV),
                KD5200_ERR_CONVERSION);
    EXPECT_EQ(ReadFile(wav2), converted2);
}

TEST_F(ConversionTest, CancelledConversionLeavesNothing) {
    const std::string qdx = pc_ + "/LONG.QDX";
    ASSERT_TRUE(voicedata::MakeQdxRecording(qdx, 0, false, 20.0));
    ASSERT_TRUE(Download(0, qdx));
    int calls = 0;
    KD5200X_SetProgressHook(
        [](KD5200_HWND, const char*, int64_t done, int64_t total, void* user) -> int32_t {
            ++*static_cast<int*>(user);
            return done > 0 && done < total ? 1 : 0; // stops inside the conversion
        },
        &calls);
    const std::string wav = dir_ + "/LONG.WAV";
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, wav.c_str(), "LONG.QDX", 0,
                              KD5200_CONVERT_QDX_TO_WAV),
                KD5200_ERR_CANCELLED);
    KD5200X_SetProgressHook(nullptr, nullptr);
    EXPECT_GT(calls, 0);
    EXPECT_FALSE(std::filesystem::exists(wav));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2)
        << "only player/ and pc/";
}

} // namespace

namespace {

// Transfers from the player killed with SIGKILL at random moments, plain and
// converting: no file is left in the target folder or the temporary folder.
TEST_F(ConversionTest, KilledTransfersLeaveNothingBehind) {
    CreatePlayer(4096, 64);
    const std::string qka = pc_ + "/BIG.QKA";
    ASSERT_TRUE(voicedata::MakeQkaRecording(qka, 300.0));
    ASSERT_TRUE(Download(0, PcFile("big.bin", kdtest::Pattern(3 << 20, 5))));
    ASSERT_TRUE(Download(0, qka));
    std::filesystem::remove(qka);
    // What a killed transfer left before: removed by the next transfer to the
    // same target, unless a transfer still writes it (it holds the lock).
    const std::string stale = pc_ + "/.big.bin.Xy12Zw", busy = pc_ + "/.big.bin.Ab34Cd";
    kdtest::WriteFile(stale, "partial");
    kdtest::WriteFile(busy, "partial");
    const int lock = open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, 0, (pc_ + "/big.bin").c_str(), nullptr, 0,
                            KD5200_CONVERT_NONE),
              0);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(busy));
    close(lock);
    std::filesystem::remove(busy);
    std::filesystem::remove(pc_ + "/big.bin");
    CloseHandle();
    const std::string temp = dir_ + "/tmp";
    std::filesystem::create_directories(temp);
    std::mt19937 random(7);
    // The last rounds as on a file system without unnamed files: a killed
    // transfer leaves a hidden file, which the next transfer to the same
    // target removes.
    int hiddenLeft = 0; // rounds whose hidden file the next transfer had to remove
    for (int round = 0; round < 10; ++round) {
        const bool convert = round % 2 == 1;
        const bool named = round >= 6;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("TMPDIR", temp.c_str(), 1);
            setenv("KD5200_SPEED", "3000000", 1);
            if (named) setenv("KD5200_NAMED_TEMPORARIES", "1", 1);
            KD5200_HANDLE handle = nullptr;
            if (!KD5200_Open(&handle)) _exit(2);
            const std::string out = pc_ + (convert ? "/BIG.WAV" : "/big.bin");
            KD5200_Upload(nullptr, handle, 0, convert ? 1 : 0, out.c_str(), nullptr, 0,
                          convert ? KD5200_CONVERT_QKA_TO_WAV : KD5200_CONVERT_NONE);
            _exit(3);
        }
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(50000, 600000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (named) {
            if (WIFSIGNALED(status) && !std::filesystem::is_empty(pc_)) ++hiddenLeft;
            // The next transfer to the same target, left to finish.
            setenv("KD5200_NAMED_TEMPORARIES", "1", 1);
            const std::string out = pc_ + (convert ? "/BIG.WAV" : "/big.bin");
            KD5200_HANDLE handle = nullptr;
            ASSERT_TRUE(KD5200_Open(&handle));
            EXPECT_NE(KD5200_Upload(nullptr, handle, 0, convert ? 1 : 0, out.c_str(), nullptr, 0,
                                    convert ? KD5200_CONVERT_QKA_TO_WAV : KD5200_CONVERT_NONE),
                      0);
            KD5200_Close(handle);
            unsetenv("KD5200_NAMED_TEMPORARIES");
        }
        if (named || !WIFSIGNALED(status)) {
            // A whole output: taken away for the next round.
            std::filesystem::remove(pc_ + "/big.bin");
            std::filesystem::remove(pc_ + "/BIG.WAV");
        }
        EXPECT_TRUE(std::filesystem::is_empty(pc_)) << "round " << round;
        EXPECT_TRUE(std::filesystem::is_empty(temp)) << "round " << round;
    }
    EXPECT_GT(hiddenLeft, 0) << "no round left a hidden file to remove";
}

} // namespace
