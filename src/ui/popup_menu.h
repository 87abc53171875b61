// A popup menu of named entries, shown at a point and answered by command. A Win32
// menu item has no hidden state, so the menu is built from the visible entries
// before each showing and destroyed after it; each entry keeps its command ID.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Form;

struct MenuItem {
    std::wstring Name;
    std::wstring Caption;
    UINT Command = 0;  // the entry's position + 1, never reused
    bool Separator = false;
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;
    // Owner-drawn entries are measured and drawn by these, through the owner window.
    bool OwnerDraw = false;
    std::function<void(MEASUREITEMSTRUCT&)> OnMeasureItem;
    std::function<void(const DRAWITEMSTRUCT&)> OnDrawItem;
};

class PopupMenu {
public:
    // The owner gets the menu's messages (WM_MEASUREITEM, WM_DRAWITEM) and the foreground.
    explicit PopupMenu(Form& owner) noexcept : owner_(owner) {}
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    int Tag = 0;
    std::function<void()> OnPopup;                   // before the menu is built
    std::function<void()> OnClose;                   // after it closed, before any command
    std::function<void(const MenuItem&)> OnCommand;  // the chosen entry

    MenuItem& Add(std::wstring name, std::wstring caption);
    MenuItem& AddSeparator(std::wstring name);
    // Throws std::out_of_range for a name that is not an entry.
    MenuItem& Item(std::wstring_view name);
    const MenuItem& Item(std::wstring_view name) const;
    MenuItem& At(size_t index) { return items_.at(index); }
    size_t Count() const noexcept { return items_.size(); }
    const MenuItem* FindCommand(UINT command) const;

    // The entries as shown: the visible ones, without separators at either end or
    // directly after another separator.
    std::vector<const MenuItem*> Layout() const;

    // Shows the menu at a screen point and runs its modal loop; then OnClose and,
    // when an entry was chosen, OnCommand. Returns the command, 0 for none.
    UINT Popup(int x, int y);
    bool Tracking() const noexcept { return tracking_; }
    // The screen point of the last showing, where a command of the menu acts.
    POINT LastPoint() const noexcept { return lastPoint_; }

    // The owner window hands its menu WM_MEASUREITEM and WM_DRAWITEM here; false
    // when the menu being shown has no such owner-drawn entry.
    static bool MeasureItem(MEASUREITEMSTRUCT& item);
    static bool DrawItem(const DRAWITEMSTRUCT& item);

private:
    Form& owner_;
    std::deque<MenuItem> items_;  // a deque keeps references to entries valid as it grows
    bool tracking_ = false;
    POINT lastPoint_{};
};

}  // namespace ui
