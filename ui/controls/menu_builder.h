#pragma once
// Real menus and accelerators built from the menu tables of resources/.
//
// The toolkit takes menu item ids below 32767 only, while the commands keep
// their numbers (32771 and up, 57xxx, 59xxx). The item of such a command
// gets a stand-in id (MenuItemId), and the menu and update-UI events of that
// item carry the command's own id again before any handler sees them, so
// windows bind EVT_MENU and EVT_UPDATE_UI to the commands as they are.
#include <functional>
#include <memory>
#include <span>

#include <wx/accel.h>
#include <wx/menu.h>

#include "base/resources/menus.h"

namespace controls {

// The menu bar of a table whose top-level lines are popups (menu 128): one
// menu per popup, in order. The caller hands it to its frame.
std::unique_ptr<wxMenuBar> BuildMenuBar(std::span<const menus::MenuItem> table);

// The first popup of a table as a menu of its own: the context menus 135
// and 137. Null when the table has no popup.
std::unique_ptr<wxMenu> BuildPopupMenu(std::span<const menus::MenuItem> table);

// Runs show (which pops a context menu up on owner) once the current event
// has been handled. The toolkit may deliver one click's menu request twice:
// a request while one is pending (pending, a flag of owner's) is dropped.
void ShowMenuOnce(wxWindow* owner, bool& pending, std::function<void()> show);

// The accelerator table of a list of accelerators (table 128).
wxAcceleratorTable BuildAccelerators(std::span<const menus::Accelerator> table);

// The id of the menu item that stands for command (the command itself when
// the toolkit takes it), as wxMenu::FindItem wants it.
int MenuItemId(int command);

} // namespace controls
