#pragma once
// Ctrl+C (SIGINT), SIGTERM and SIGHUP stop a command at the next chunk of
// the running transfer instead of killing the program, so that no partial
// file stays behind and the program can say what was done. A second signal
// of the same kind ends the program at once.
namespace kdplayer {

void CatchInterrupts();
bool Interrupted();

} // namespace kdplayer
