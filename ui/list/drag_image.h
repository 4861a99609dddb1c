#pragma once
// The drag image of a list's selection: every selected row drawn at its
// place relative to the others, on a masked background.
#include <wx/bitmap.h>
#include <wx/gdicmn.h>

class HFileListCtrl;

// Colour of the image's transparent parts.
inline const wxColour kDragMaskColour(255, 0, 0);

// Draws the selected rows of list (icon and name) into one bitmap as large
// as the union of their bounding rectangles, with kDragMaskColour as mask.
// Rows are taken as far as the list shows them: parts scrolled out of view
// are left out. origin receives the union's top-left corner in the list's
// client coordinates. Returns an invalid bitmap when the list has no parent
// or shows no selected row.
wxBitmap BuildDragImage(const HFileListCtrl& list, wxPoint* origin);
