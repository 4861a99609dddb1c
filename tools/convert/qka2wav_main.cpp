// qka2wav: puts the IMA ADPCM blocks of a QKA recording into a WAV file.
#include "base/platform/console.h"
#include "command_line.h"

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    return convert::Qka2WavMain(argc, argv);
}
