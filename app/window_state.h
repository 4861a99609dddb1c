#pragma once
// The stored "WindowState" is a show command: 1 normal, 2 or 6 minimised,
// 3 maximised, 5 shown as created. These map it onto a top-level window and
// back.
class wxTopLevelWindow;

namespace app {

// Shows the window in the state a stored show command asks for.
void ShowWithState(wxTopLevelWindow& window, int showCommand);
// The show command that describes the window now (1, 2 or 3).
int ShowCommandOf(const wxTopLevelWindow& window);

} // namespace app
