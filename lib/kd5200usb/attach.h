#pragma once
// Where the player lives and whether it is plugged in. The attach state is
// the file usb/attached in the player folder: present while plugged.
#include <string>

#include "lib/kd5200usb/errors.h"

namespace kd5200 {

// KD5200_PLAYER_DIR, or $XDG_DATA_HOME/kd5200-player.
std::string PlayerFolder();
// Whether the player in folder is plugged in.
bool IsAttached(const std::string& folder);
// Plugs the player in or pulls it out.
Status SetAttached(const std::string& folder, bool attached);

// Watches the attach state of a player folder with inotify: the descriptor
// becomes readable when the player is plugged or unplugged.
class ChangeNotifier {
public:
    ChangeNotifier() = default;
    ~ChangeNotifier();
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;

    // The descriptor for folder (made on first use), or -1 when none can be made.
    int Fd(const std::string& folder);

private:
    int fd_ = -1;
    std::string folder_;
};

} // namespace kd5200
