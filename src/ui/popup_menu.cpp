#include "ui/popup_menu.h"

#include "ui/form.h"
#include "ui/handles.h"

#include <stdexcept>

namespace ui {
namespace {

// One thread shows one popup menu at a time; its owner-draw messages come here.
PopupMenu* g_tracking = nullptr;

}  // namespace

MenuItem& PopupMenu::Add(std::wstring name, std::wstring caption) {
    MenuItem& item = items_.emplace_back();
    item.Name = std::move(name);
    item.Caption = std::move(caption);
    item.Command = static_cast<UINT>(items_.size());
    return item;
}

MenuItem& PopupMenu::AddSeparator(std::wstring name) {
    MenuItem& item = Add(std::move(name), std::wstring());
    item.Separator = true;
    return item;
}

MenuItem& PopupMenu::Item(std::wstring_view name) {
    return const_cast<MenuItem&>(static_cast<const PopupMenu&>(*this).Item(name));
}

const MenuItem& PopupMenu::Item(std::wstring_view name) const {
    for (const MenuItem& item : items_)
        if (item.Name == name) return item;
    throw std::out_of_range("no such menu entry");
}

const MenuItem* PopupMenu::FindCommand(UINT command) const {
    for (const MenuItem& item : items_)
        if (item.Command == command) return &item;
    return nullptr;
}

std::vector<const MenuItem*> PopupMenu::Layout() const {
    std::vector<const MenuItem*> shown;
    for (const MenuItem& item : items_) {
        if (!item.Visible) continue;
        if (item.Separator && (shown.empty() || shown.back()->Separator)) continue;
        shown.push_back(&item);
    }
    if (!shown.empty() && shown.back()->Separator) shown.pop_back();
    return shown;
}

UINT PopupMenu::Popup(int x, int y) {
    if (tracking_ || g_tracking) return 0;  // TrackPopupMenu refuses a second one anyway
    if (OnPopup) OnPopup();
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return 0;
    for (const MenuItem* item : Layout()) {
        UINT flags = item->Separator ? MF_SEPARATOR : MF_STRING;
        if (item->OwnerDraw) flags = MF_OWNERDRAW;
        if (!item->Enabled) flags |= MF_GRAYED;
        if (item->Checked) flags |= MF_CHECKED;
        const wchar_t* text = item->OwnerDraw ? nullptr : item->Caption.c_str();
        AppendMenuW(menu.Get(), flags, item->Separator ? 0 : item->Command, text);
    }
    HWND owner = owner_.Handle();
    UINT command = 0;
    {
        tracking_ = true;
        g_tracking = this;
        ScopeExit done([this] {
            tracking_ = false;
            g_tracking = nullptr;
        });
        // Without the foreground the menu would not close on a click elsewhere, and
        // without the message after it the next showing would close at once.
        lastPoint_ = POINT{x, y};
        SetForegroundWindow(owner);
        command = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN |
                                                                   TPM_TOPALIGN,
                                                   x, y, 0, owner, nullptr));
        PostMessageW(owner, WM_NULL, 0, 0);
    }
    menu.Reset();
    if (OnClose) OnClose();
    if (const MenuItem* item = FindCommand(command); item && OnCommand) OnCommand(*item);
    return command;
}

bool PopupMenu::MeasureItem(MEASUREITEMSTRUCT& item) {
    if (!g_tracking || item.CtlType != ODT_MENU) return false;
    const MenuItem* entry = g_tracking->FindCommand(item.itemID);
    if (!entry || !entry->OwnerDraw || !entry->OnMeasureItem) return false;
    entry->OnMeasureItem(item);
    return true;
}

bool PopupMenu::DrawItem(const DRAWITEMSTRUCT& item) {
    if (!g_tracking || item.CtlType != ODT_MENU) return false;
    const MenuItem* entry = g_tracking->FindCommand(item.itemID);
    if (!entry || !entry->OwnerDraw || !entry->OnDrawItem) return false;
    entry->OnDrawItem(item);
    return true;
}

}  // namespace ui
