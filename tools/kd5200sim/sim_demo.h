#pragma once
// Demonstration files that "kd5200sim create --demo" puts on a new player.
#include "lib/kd5200usb/player.h"

namespace kd5200 {

// Stores the demonstration files on the player's internal memory.
Status AddDemoFiles(Player& player);

} // namespace kd5200
