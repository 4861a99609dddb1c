#include "ui/list/drag_image.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/settings.h>

#include "ui/list/file_list_ctrl.h"

wxBitmap BuildDragImage(const HFileListCtrl& list, wxPoint* origin) {
    if (!list.GetParent()) return wxNullBitmap;

    // Only what the list shows goes into the image: a selection of thousands
    // of rows would otherwise make a bitmap (and a window) far beyond the
    // screen.
    const wxRect visible = list.GetClientRect();
    std::vector<std::pair<long, wxRect>> rows;
    wxRect bounds;
    // Only the rows on the page are looked at, however many are selected.
    const long first = std::max(list.GetTopRow(), 0L);
    const long last = std::min<long>(first + list.GetCountPerPage() + 1, list.GetItemCount() - 1);
    for (long row = first; row <= last; ++row) {
        if (!list.IsRowSelected(row)) continue;
        const wxRect rect = list.GetRowRect(row);
        if (rect.IsEmpty()) continue;
        const wxRect shown = rect.Intersect(visible);
        if (shown.IsEmpty()) continue;
        rows.emplace_back(row, rect);
        bounds = bounds.IsEmpty() ? shown : bounds.Union(shown);
    }
    if (rows.empty() || bounds.IsEmpty()) return wxNullBitmap;

    wxBitmap bitmap(bounds.GetSize(), 24);
    if (!bitmap.IsOk()) return wxNullBitmap;
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(kDragMaskColour));
        dc.Clear();
        dc.SetFont(list.GetFont());
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT));
        const wxColour background = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
        const wxImageList* images = list.GetImageList(wxIMAGE_LIST_SMALL);
        for (const auto& [row, rowRect] : rows) {
            const wxPoint at = rowRect.GetTopLeft() - bounds.GetTopLeft();
            // Icon and name sit on the list's background, as in the list.
            wxRect label = list.GetRowRect(row, HFileListCtrl::RowPart::Label);
            label.Offset(-bounds.GetTopLeft());
            const wxString text = list.GetRowText(row, 0);
            const int textWidth = dc.GetTextExtent(text).x;
            label.width = std::min(label.width, textWidth + 6);
            const int image = list.GetRowImage(row);
            const bool hasImage = images && image >= 0;
            const int left = hasImage ? at.x : label.x;
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(background));
            dc.DrawRectangle(left, at.y, label.GetRight() + 1 - left, rowRect.height);
            if (hasImage) {
                int w = 0, h = 0;
                images->GetSize(image, w, h);
                const_cast<wxImageList*>(images)->Draw(image, dc, at.x + 1,
                                                       at.y + (rowRect.height - h) / 2,
                                                       wxIMAGELIST_DRAW_TRANSPARENT);
            }
            dc.SetClippingRegion(label);
            dc.DrawText(text, label.x + 3, label.y + (label.height - dc.GetCharHeight()) / 2);
            dc.DestroyClippingRegion();
        }
    }
    bitmap.SetMask(new wxMask(bitmap, kDragMaskColour));
    if (origin) *origin = bounds.GetTopLeft();
    return bitmap;
}
