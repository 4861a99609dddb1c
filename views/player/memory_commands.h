#pragma once
// The file commands of a player memory pane on the device layer, apart from
// any window: deleting and moving several entries, which must follow the
// player's renumbering as they go.
#include <cstdint>
#include <string>
#include <vector>

#include "lib/device/device_watch.h"
#include "lib/device/kd5200usb.h"

namespace player {

// One file as its row shows it: entry number, name and size.
using NamedEntry = device::ShownEntry;

// Deletes the entries in ascending order of number. After each deletion the
// later entries move down by one on the player, so the numbers still to go
// are lowered to match. Stops at the first failure (shown by the device
// layer). True when nothing failed.
bool DeleteEntries(KD5200_HWND parent, int memory, std::vector<NamedEntry> entries);

// Whether the selected numbers may move up (none is 0) or down (none is the
// last of fileCount entries). An empty selection may not move.
bool CanMoveUp(const std::vector<int32_t>& numbers);
bool CanMoveDown(const std::vector<int32_t>& numbers, int fileCount);

// Moves each entry one place up or down: up in ascending order, down in
// descending order, so that neighbouring selected entries keep their order.
// Returns the numbers the entries have afterwards, or nothing when the
// selection may not move that way.
std::vector<int32_t> MoveEntries(int memory, std::vector<int32_t> numbers, bool up, int fileCount);

} // namespace player
