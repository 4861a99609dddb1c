#pragma once
// Whether the files of a transfer fit where they go, worked out before
// anything is written: each file takes whole blocks of the target and, on a
// player memory, one directory entry.
#include <cstdint>
#include "lib/device/device_room.h"
#include <string>
#include <vector>

namespace player {

// Room left on the target.
using Room = DevRoom;

// Whether the files fit, as the device layer plans it (DevPlanSpace).
using SpacePlan = DevSpacePlan;

// The question of a transfer that does not fit, in the pane's units:
// "The files need 96KB in 3 entries; 64KB and 512 entries are free." and the
// offer to copy those that fit. Without entries the parts about them drop out.
std::string SpaceQuestion(const SpacePlan& plan, const Room& room, size_t fileCount);
// The text when none of the files fits.
std::string NoSpaceText(const SpacePlan& plan, const Room& room);

} // namespace player
