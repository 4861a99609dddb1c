#include "ui/controls/menu_builder.h"

#include "base/resources/strings.h"

#include <unordered_map>
#include <vector>

#include <wx/eventfilter.h>
#include <wx/window.h>

namespace controls {
namespace {

using menus::Kind;

// The highest id the toolkit takes for a menu item.
constexpr int kHighestItemId = 32766;

// Gives the menu and update-UI events of stand-in ids their command's id:
// those of menu items, and the menu events of accelerators, which carry the
// stand-in as well (on Windows an accelerator's command is a 16-bit number
// read as signed, so a command above the toolkit's range reached nothing).
class CommandIdFilter : public wxEventFilter {
public:
    CommandIdFilter() { wxEvtHandler::AddFilter(this); }
    ~CommandIdFilter() override { wxEvtHandler::RemoveFilter(this); }

    void Add(int itemId, int command) { commands_[itemId] = command; }

    int FilterEvent(wxEvent& event) override {
        const wxEventType type = event.GetEventType();
        if (type != wxEVT_MENU && type != wxEVT_UPDATE_UI) return Event_Skip;
        if (type == wxEVT_UPDATE_UI && !dynamic_cast<wxMenu*>(event.GetEventObject()))
            return Event_Skip;
        if (const auto it = commands_.find(event.GetId()); it != commands_.end())
            event.SetId(it->second);
        return Event_Skip;
    }

private:
    std::unordered_map<int, int> commands_;
};

// The item id of a command, registering a stand-in with the filter.
int ItemId(int command) {
    const int item = MenuItemId(command);
    if (item != command) {
        static CommandIdFilter filter;
        filter.Add(item, command);
    }
    return item;
}

wxString Text(const menus::MenuItem& item) {
    return item.text ? wxString::FromUTF8(strings::Tr(item.text)) : wxString();
}

// Appends the lines from pos up to the End that closes the menu; returns
// the index after that End.
size_t Fill(wxMenu& menu, std::span<const menus::MenuItem> table, size_t pos) {
    while (pos < table.size()) {
        const menus::MenuItem& item = table[pos++];
        switch (item.kind) {
        case Kind::End:
            return pos;
        case Kind::Separator:
            menu.AppendSeparator();
            break;
        case Kind::Item:
            menu.Append(ItemId(item.id), Text(item));
            break;
        case Kind::Check:
            menu.AppendCheckItem(ItemId(item.id), Text(item));
            break;
        case Kind::Popup: {
            auto sub = std::make_unique<wxMenu>();
            pos = Fill(*sub, table, pos);
            menu.AppendSubMenu(sub.release(), Text(item));
            break;
        }
        }
    }
    return pos;
}

} // namespace

int MenuItemId(int command) {
    // Commands are 16-bit numbers; those above the toolkit's range move into
    // 0x4000-0x7FFF, keeping their low 14 bits, which tell Songdock's
    // commands apart.
    return command >= 0 && command <= kHighestItemId ? command : 0x4000 | (command & 0x3FFF);
}

std::unique_ptr<wxMenuBar> BuildMenuBar(std::span<const menus::MenuItem> table) {
    auto bar = std::make_unique<wxMenuBar>();
    size_t pos = 0;
    while (pos < table.size()) {
        const menus::MenuItem& item = table[pos++];
        if (item.kind != Kind::Popup) continue;
        auto menu = std::make_unique<wxMenu>();
        pos = Fill(*menu, table, pos);
        bar->Append(menu.release(), Text(item));
    }
    return bar;
}

std::unique_ptr<wxMenu> BuildPopupMenu(std::span<const menus::MenuItem> table) {
    for (size_t pos = 0; pos < table.size(); ++pos) {
        if (table[pos].kind != Kind::Popup) continue;
        auto menu = std::make_unique<wxMenu>();
        Fill(*menu, table, pos + 1);
        return menu;
    }
    return nullptr;
}

void ShowMenuOnce(wxWindow* owner, bool& pending, std::function<void()> show) {
    if (pending) return;
    pending = true;
    owner->CallAfter([&pending, show = std::move(show)] {
        pending = false;
        show();
    });
}

wxAcceleratorTable BuildAccelerators(std::span<const menus::Accelerator> table) {
    std::vector<wxAcceleratorEntry> entries;
    entries.reserve(table.size());
    for (const menus::Accelerator& a : table)
        entries.emplace_back(a.flags, a.key, ItemId(a.command));
    return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
}

} // namespace controls
