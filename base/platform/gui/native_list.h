#pragma once
// The native list (a GTK tree view under wxDataViewCtrl) as the explorers
// use it: how it draws, lays out and answers the mouse and the keyboard.
// What a screen reader reads of it is in accessibility.h.
#include <cstdint>
#include <functional>

#include <wx/gdicmn.h>

class wxWindow;

namespace platform {

// The list's own type-ahead search box is turned off: the list answers
// typed letters itself, as file managers do.
void DisableListSearch(wxWindow* list);

// Draws the keyboard focus as a solid mark in the theme's selection
// colour, clearly visible in any theme (the desktop's own mark is a faint
// dotted line).
void ShowFocusClearly();

// Every row of a list has the height of the first: the list lays out any
// number of rows at once (every column must have a width of its own).
void SetUniformRowHeights(wxWindow* list);

// Tab and Shift+Tab pass the list's column headers by: they are reached by
// the mouse, and the list's rows by the keyboard. Call after adding columns.
void KeepHeaderOutOfTabs(wxWindow* list);

// Tells a screen reader that the list's current row has the focus, when the
// list has the keyboard. The list tells this itself when its cursor moves,
// but only for rows a reader has looked at since the list was last filled:
// after a refill its new current row would go unheard. focusCell: the row's
// first cell also says it has the focus (as after a refill); without it the
// table alone tells which of its rows is current (as on entering the list).
void TellCurrentRow(wxWindow* list, bool focusCell = true);

// Scrolls the list so that a row is the first one shown, now or, if the
// list has yet to lay out its rows, once it has.
void ScrollRowToTop(wxWindow* list, long row);

// Calls scrolled() whenever the list's rows move up or down on screen.
void WatchListScroll(wxWindow* list, std::function<void()> scrolled);

// Presses of the left button in a native list. press(point) is asked when
// the button goes down on a row (point in the list's client coordinates):
// true keeps the press from the list, so that a selection of several rows
// survives it until it is known whether the press starts a drag. drag(point)
// is called once when the pointer has moved far enough with the button down;
// release(point, kept, pressTime) when the button comes up without a drag;
// pressTime is the display server's time of the press in milliseconds, the
// clock by which the toolkit tells a double click from two clicks.
struct ListPressHooks {
    std::function<bool(wxPoint)> press;
    std::function<void(wxPoint)> drag;
    std::function<void(wxPoint, bool kept, uint32_t pressTime)> release;
};
void WatchListPresses(wxWindow* list, ListPressHooks hooks);

} // namespace platform
