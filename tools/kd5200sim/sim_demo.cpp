#include "tools/kd5200sim/sim_demo.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/platform/descriptors.h"
#include "base/platform/files.h"
#include "base/platform/paths.h"
#include "base/platform/temp_file.h"

#ifdef KD5200_DEMO_RECORDINGS
#include "voice_data.h"
#endif

namespace kd5200 {

namespace {

// A short silent MPEG-1 Layer III stream behind an ID3v2 tag.
std::string DemoMp3() {
    std::string tag = "ID3";
    tag += std::string("\x03\x00\x00", 3);
    const std::string title = std::string("\x00", 1) + "Demo Song";
    std::string frame = "TIT2";
    const auto n = static_cast<char>(title.size());
    frame += std::string("\x00\x00\x00", 3) + n + std::string("\x00\x00", 2) + title;
    const auto size = static_cast<char>(frame.size());
    tag += std::string("\x00\x00\x00", 3) + size + frame;
    // 128 kbit/s, 44.1 kHz frames of 417 bytes, 40 of them (about a second).
    std::string audio;
    for (int i = 0; i < 40; ++i) {
        std::string mpeg(417, '\0');
        mpeg[0] = '\xFF';
        mpeg[1] = '\xFB';
        mpeg[2] = '\x90';
        mpeg[3] = '\x64';
        audio += mpeg;
    }
    return tag + audio;
}

// The files of a demonstration player: name and contents. Add entries here.
std::vector<std::pair<std::string, std::string>> DemoFiles() {
    std::vector<std::pair<std::string, std::string>> files = {
        {"Demo Song.mp3", DemoMp3()},
        {"README.TXT",
         "This is a virtual KD5200 player.\r\n"
         "Its files live in the player folder; kd5200sim lists and changes them.\r\n"},
        {"Notes for the trip.txt", "Pack the charger.\r\nCopy the new recordings.\r\n"},
    };
#ifdef KD5200_DEMO_RECORDINGS
    // Two voice recordings as the recorder stores them: ADPCM (QKA) and
    // AMR at 5.9 kbit/s with pauses coded as comfort noise (QDX).
    const auto speech = voicedata::SpeechSignal(4.0);
    const auto qka = voicedata::PackQka(voicedata::ImaEncode(speech));
    voicedata::QdxLayout layout;
    layout.mr59 = true;
    const auto qdx = voicedata::PackQdx(voicedata::EncodeAmr(speech, true, true), layout);
    files.emplace_back("REC01.QKA", std::string(qka.begin(), qka.end()));
    files.emplace_back("VOICE001.QDX", std::string(qdx.begin(), qdx.end()));
#endif
    return files;
}

} // namespace

Status AddDemoFiles(Player& player) {
    const std::string folder = platform::CreateTempFile("kd5200-demo-");
    if (folder.empty()) return Fail(KD5200_ERR_FILE_WRITE, errno);
    platform::RemoveFile(folder);
    if (!platform::MakeDirectories(folder)) return Fail(KD5200_ERR_FILE_WRITE, errno);
    Status status;
    for (const auto& [name, contents] : DemoFiles()) {
        const std::string path = folder + "/" + name;
        if (std::FILE* out = platform::OpenFile(path, "wb")) {
            const bool written = std::fwrite(contents.data(), 1, contents.size(), out) ==
                                 contents.size();
            if (std::fclose(out) != 0 || !written) status = Fail(KD5200_ERR_FILE_WRITE, EIO);
        } else {
            status = Fail(KD5200_ERR_FILE_WRITE, errno);
        }
        if (status) status = player.Download(KD5200_MEMORY_INTERNAL, path, TransferSettings{});
        platform::RemoveFile(path);
        if (!status) break;
    }
    platform::RemoveFolder(folder);
    return status;
}

} // namespace kd5200
