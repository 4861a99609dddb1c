// The least a program can do to turn an .amr file into samples: every
// storage frame straight into opencore-amr's decoder, the samples written
// out. The benchmark's yardstick for qdx2wav.
#include <opencore-amrnb/interf_dec.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: amr_decode_min <amr file> <raw out>\n", stderr);
        return 2;
    }
    static const int kDataBytes[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 0, 0, 0, 0, 0, 0, 0};
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!in || !out) return 1;
    char magic[6];
    if (std::fread(magic, 1, 6, in) != 6 || std::memcmp(magic, "#!AMR\n", 6) != 0) return 1;
    void* decoder = Decoder_Interface_init();
    unsigned char frame[32];
    short pcm[160];
    int toc;
    while ((toc = std::getc(in)) != EOF) {
        frame[0] = static_cast<unsigned char>(toc);
        const int n = kDataBytes[(toc >> 3) & 15];
        if (std::fread(frame + 1, 1, static_cast<std::size_t>(n), in) !=
            static_cast<std::size_t>(n))
            break;
        Decoder_Interface_Decode(decoder, frame, pcm, 0);
        std::fwrite(pcm, sizeof pcm[0], 160, out);
    }
    Decoder_Interface_exit(decoder);
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
}
