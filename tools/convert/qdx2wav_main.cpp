// qdx2wav: converts a voice recorder QDX file to a 16-bit PCM WAV file.
#include "base/platform/console.h"
#include "command_line.h"

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    return convert::Qdx2WavMain(argc, argv);
}
