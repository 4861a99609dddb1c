#include "voice_data.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace voicedata {

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    return std::fclose(f.release()) == 0 && written;
}

bool MakeQkaRecording(const std::string& path, double seconds) {
    return WriteFile(path, PackQka(ImaEncode(SpeechSignal(seconds))));
}

bool MakeQdxRecording(const std::string& path, int mode, bool dtx, double seconds) {
    try {
        const bool mr59 = mode == 1;
        const std::vector<AmrFrame> frames = EncodeAmr(SpeechSignal(seconds), mr59, dtx);
        QdxLayout layout;
        layout.mr59 = mr59;
        layout.typed = true;
        return WriteFile(path, PackQdx(frames, layout));
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace voicedata
