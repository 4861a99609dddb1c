#pragma once
// Menus as data: the windows build real menus from these tables.
#include <span>

namespace menus {

enum class Kind { Popup, Item, Check, Separator, End };

// One line of a menu table: a Popup opens a submenu that the matching End
// closes; an Item carries its command id; a Check is an item that shows a
// check mark (its update handler checks it), as the View menu's bar toggles.
struct MenuItem {
    Kind kind;
    int id;
    const char* text;
};

// Menu 128: the main window's menu bar.
std::span<const MenuItem> MainMenu();
// Menu 135: context menu of a player memory pane (one popup).
std::span<const MenuItem> MemoryContextMenu();
// Menu 137: context menu of the desktop view (one popup).
std::span<const MenuItem> DesktopContextMenu();
// The table of a menu by resource id (128, 135, 137); empty for others.
std::span<const MenuItem> ById(int id);

// One accelerator of the main window. key is a wxWidgets key code or a
// printable character; flags combine the Accel* bits.
struct Accelerator {
    int flags;
    int key;
    int command;
};
constexpr int AccelNormal = 0, AccelAlt = 1, AccelCtrl = 2, AccelShift = 4;
// Accelerator table 128. Key codes are the toolkit's (see menus.cpp).
std::span<const Accelerator> MainAccelerators();

} // namespace menus
