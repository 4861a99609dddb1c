#pragma once
// Where the player lives and whether it is plugged in. The attach state is
// the file usb/attached in the player folder: present while plugged. The
// file usb/generation counts the plugs and unplugs, so that a handle opened
// before an unplug fails after it, even when the player is back.
#include <cstdint>
#include <string>

#include "lib/kd5200usb/errors.h"
#include "lib/kd5200usb/file_io.h"
#include "base/platform/folder_watch.h"

namespace kd5200 {

// KD5200_PLAYER_DIR, or $XDG_DATA_HOME/kd5200-player.
std::string PlayerFolder();
// Whether the player in folder is plugged in.
bool IsAttached(const std::string& folder);
// Plugs the player in or pulls it out; a change of state raises the plug
// generation by one.
Status SetAttached(const std::string& folder, bool attached);

// The attach state and the plug generation, read together.
struct PlugState {
    bool attached = false;
    int64_t generation = 0; // -1: the count cannot be read
};
PlugState ReadPlugState(const std::string& folder);
// What an operation on a player opened in generation meets: none, the
// player unplugged (KD5200_ERR_NOT_ATTACHED), or unplugged and plugged in
// again since (KD5200_ERR_REPLUGGED).
Status CheckPlugged(const std::string& folder, int64_t generation);

// CheckPlugged for the chunks of a transfer, answered from memory while
// nothing has happened in the player's port folder since the last full
// check found the same generation plugged in: one look at a folder watch
// instead of opening, locking and reading the count each time.
class PlugWatch {
public:
    Status Check(const std::string& folder, int64_t generation);

private:
    void Watch(const std::string& folder);

    platform::FolderWatch watch_;
    std::string folder_;
    int64_t verified_ = -1; // the generation last found plugged in
};

// Watches the attach state of a player folder: the descriptor becomes
// readable when the player is plugged or unplugged.
class ChangeNotifier {
public:
    // The descriptor for folder (made on first use), or -1 when none can be
    // made (on Windows, which has no such descriptor).
    int Fd(const std::string& folder);

private:
    platform::FolderWatch watch_;
    std::string folder_;
};

} // namespace kd5200
