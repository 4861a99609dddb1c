#include "qdx_to_wav.h"

#include "lib/voice/qdx_convert.h"

namespace convert {

int QdxToWav(std::FILE* in, std::FILE* out, ProgressCallback progress, void* user) {
    switch (ConvertQdx(in, out, progress, user)) {
    case Outcome::Done:
        return 0;
    case Outcome::NoDecoder:
        return kResultNoDecoder;
    case Outcome::WriteError:
        return kResultWriteError;
    case Outcome::ReadError:
        return kResultReadError;
    case Outcome::NotQdx:
    case Outcome::Stopped:
        break;
    }
    return kResultRejected;
}

} // namespace convert
