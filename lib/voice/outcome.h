#pragma once
// How a conversion ended, shared by the conversion cores and their callers.

namespace convert {

enum class Outcome {
    Done,       // whole input converted, WAV sizes filled in
    NotQdx,     // input rejected at its header; output left empty
    Stopped,    // the progress callback asked to stop
    NoDecoder,  // the speech decoder could not be set up
    ReadError,  // reading the input failed
    WriteError, // writing the output failed, or it outgrew the WAV size fields
};

} // namespace convert
