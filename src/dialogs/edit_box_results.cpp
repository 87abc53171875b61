// The box's result list and its commands: the search hand-over by generation, the
// virtual rows and their icons, Enter in the edit line and opening a result.
#include "dialogs/edit_box.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/launch.h"
#include "core/shell_menu.h"
#include "render/compositor.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>

namespace dialogs {
namespace {

// Files whose icon is their own rather than their kind's.
bool HasOwnIcon(const std::wstring& lowerExtension) {
    static constexpr std::array<const wchar_t*, 7> kOwn = {L".exe", L".lnk", L".ico", L".cur",
                                                           L".ani", L".cpl", L".scr"};
    return std::any_of(kOwn.begin(), kOwn.end(), [&](const wchar_t* e) { return lowerExtension == e; });
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

core::ShellCall OpenCall(std::wstring file, int show) {
    core::ShellCall call;
    call.owner = ui::Application::Instance().Handle();
    call.verb = L"open";
    call.file = std::move(file);
    call.show = show;
    return call;
}

}  // namespace

void TEditBox::Edit1Change() {
    if (!ui::ControlVisible(RunLB)) return;
    StopSearch();
    FindInIndex(ui::ControlText(Edit1));
}

void TEditBox::StopSearch() {
    ++generation_;
    if (worker_) worker_->Cancel(generation_);
}

void TEditBox::FindInIndex(const std::wstring& text) {
    const std::uint64_t generation = ++generation_;
    // No row of an older text is ever shown or opened.
    ClearRows();
    if (text.size() < kMinSearchLength) {
        if (worker_) worker_->Cancel(generation);
        ShowMessageRow(kHintText);
        return;
    }
    ListView_SetTextColor(RunLB, GetSysColor(COLOR_WINDOWTEXT));
    if (worker_) worker_->Search(generation, text);
}

void TEditBox::ClearRows() {
    index_.reset();
    rows_.clear();
    ownImages_.clear();
    requestedImages_.clear();
    message_ = nullptr;
    SetRowCount(0);
}

void TEditBox::ShowMessageRow(const wchar_t* text) {
    message_ = text;
    completeGeneration_ = generation_;
    ListView_SetTextColor(RunLB, GetSysColor(COLOR_GRAYTEXT));
    SetRowCount(1);
}

void TEditBox::SetRowCount(int count) {
    // The count and the column width each repaint the list at once when drawing is on;
    // one paint afterwards shows the new rows sooner.
    SendMessageW(RunLB, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCountEx(RunLB, count, 0);
    SizeColumn();
    SendMessageW(RunLB, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(RunLB, nullptr, TRUE);
}

void TEditBox::SizeColumn() {
    RECT client{};
    GetClientRect(RunLB, &client);
    const int width = std::max<int>(client.right, 0);
    // Setting the same width again still costs a layout of the list.
    if (ListView_GetColumnWidth(RunLB, 0) != width) ListView_SetColumnWidth(RunLB, 0, width);
}

void TEditBox::ApplyRows(std::unique_ptr<SearchRows> rows) {
    if (!rows) return;
    if (rows->generation != generation_) {
        ++droppedPosts_;
        return;
    }
    appliedGenerations_.push_back(rows->generation);
    // The whole list keeps the row chosen in its first part.
    const std::wstring selected = RowPath(SelectedRow());
    if (rows->complete && rows->rows.empty()) {
        ShowMessageRow(kNoItemsText);
        return;
    }
    message_ = nullptr;
    index_ = std::move(rows->index);
    rows_ = std::move(rows->rows);
    ListView_SetTextColor(RunLB, GetSysColor(COLOR_WINDOWTEXT));
    SetRowCount(static_cast<int>(rows_.size()));
    if (rows->complete) completeGeneration_ = generation_;
    if (selected.empty()) return;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (index_->Line(rows_[i].line) != selected) continue;
        ListView_SetItemState(RunLB, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        break;
    }
}

void TEditBox::ApplyIcon(std::unique_ptr<SearchIcon> icon) {
    if (!icon || icon->generation != generation_) return;
    ownImages_[icon->line] = icon->image;
    InvalidateRect(RunLB, nullptr, FALSE);
}

int TEditBox::RowImage(const SearchRow& row) {
    if (const auto own = ownImages_.find(row.line); own != ownImages_.end()) return own->second;
    const std::wstring path(index_->Line(row.line));
    const std::wstring key = row.folder ? L"\\" : Lower(ui::ExtractFileExt(path));
    // The per-file look-up costs a millisecond or more: the worker does it.
    if (!row.folder && HasOwnIcon(key) && worker_ && requestedImages_.insert(row.line).second)
        worker_->RequestIcon(generation_, row.line);
    if (const auto kind = extensionImages_.find(key); kind != extensionImages_.end()) return kind->second;
    SHFILEINFOW info{};
    const std::wstring sample = row.folder ? L"folder" : L"file" + key;
    const DWORD attributes = row.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    const int image = SHGetFileInfoW(sample.c_str(), attributes, &info, sizeof(info),
                                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)
                          ? info.iIcon
                          : I_IMAGENONE;
    extensionImages_.emplace(key, image);
    return image;
}

LRESULT TEditBox::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != RunLB) return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: GetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))); return 0;
    case NM_DBLCLK: RunLBDblClick(); return 0;
    }
    return 0;
}

void TEditBox::GetDispInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    const int row = item.iItem;
    if (row < 0 || row >= RowCount()) return;
    std::wstring text;
    int image = I_IMAGENONE;
    if (message_) {
        text = message_;
    } else {
        text = ui::ExtractFileName(std::wstring(index_->Line(rows_[static_cast<size_t>(row)].line)));
        if (item.mask & LVIF_IMAGE) image = RowImage(rows_[static_cast<size_t>(row)]);
    }
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    if (item.mask & LVIF_IMAGE) item.iImage = image;
}

int TEditBox::RowCount() const {
    if (message_) return 1;
    return index_ ? static_cast<int>(rows_.size()) : 0;
}

std::wstring TEditBox::RowPath(int row) const {
    if (message_ || !index_ || row < 0 || static_cast<size_t>(row) >= rows_.size()) return {};
    return std::wstring(index_->Line(rows_[static_cast<size_t>(row)].line));
}

int TEditBox::SelectedRow() const { return ListView_GetNextItem(RunLB, -1, LVNI_SELECTED); }

void TEditBox::Edit1KeyPress(wchar_t key) {
    try {
        if (key == VK_RETURN) RunTypedCommand();
        if (key == VK_ESCAPE) CloseBox();
    } catch (...) {
        // The Enter and Escape handling reports nothing.
    }
}

void TEditBox::RunTypedCommand() {
    const core::TForm1* main = core::Form1;
    if (!main || Tag < 1 || Tag > 3) return;
    const int level = Tag;
    // The quick-run row by the one row rule.
    const core::TLNItem* item =
        core::HoveredItem(main->ItemLists[level], main->SelectedIndex[level] - 1, main->ScrollMode[level], main->ScrollTop);
    const std::wstring params = item ? item->Params : std::wstring();
    const std::wstring text = ui::ControlText(Edit1);
    const core::ShellFunctions shell = core::CurrentShellFunctions();
    if (!ui::TrimSpaces(params).empty()) {
        CloseBox();
        if (shell.execute) shell.execute(OpenCall(ui::FormatS(params, text), SW_SHOW));
        return;
    }
    // Hidden while the shell starts it, and back with its text when nothing started:
    // shown again inside this handler, so the modal loop goes on.
    Hide();
    const INT_PTR result = shell.execute ? shell.execute(OpenCall(text, SW_SHOW)) : 0;
    if (result > 32) return;
    keepText_ = true;
    ShowWindow(Handle(), SW_SHOW);
    keepText_ = false;
    SetForegroundWindow(Handle());
    SetFocus(Edit1);
}

void TEditBox::RunLBDblClick() { OpenSelectedResult(); }

void TEditBox::RunLBKeyPress(wchar_t key) {
    if (key == VK_RETURN) OpenSelectedResult();
    if (key == VK_ESCAPE) CloseBox();
}

void TEditBox::RunLBMouseDown(ui::MouseButton button, int x, int y) {
    if (button == ui::MouseButton::Left) return;
    // The message rows have no path.
    const std::wstring path = RowPath(SelectedRow());
    if (path.empty()) return;
    core::ShowShellContextMenu(RunLB, path, POINT{x, y});
}

void TEditBox::OpenSelectedResult() {
    const std::wstring path = RowPath(SelectedRow());
    if (path.empty() || (!ui::FileExists(path) && !ui::DirectoryExists(path))) return;
    const core::ShellFunctions shell = core::CurrentShellFunctions();
    if (shell.execute) shell.execute(OpenCall(path, SW_SHOWNORMAL));
    CloseBox();
    if (core::Form1) core::Form1->SlideOut();
}

}  // namespace dialogs
