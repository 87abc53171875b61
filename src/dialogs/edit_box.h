// TEditBox, the quick-run and search box shown over a quick-run row: the edit line,
// the result list over Index.dat and the close zone at the end of the edit.
#pragma once

#include "dialogs/search_worker.h"
#include "ui/form.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Gdiplus {
class Bitmap;
}

namespace dialogs {

class TEditBox : public ui::Form {
public:
    TEditBox() { Cursor = ui::FormCursor::HandPoint; }
    ~TEditBox() override;

    // Design sizes; FormShow lays the controls out from the skin.
    static constexpr int kDesignWidth = 264;
    static constexpr int kDesignHeight = 289;
    static constexpr COLORREF kTransparentColor = RGB(255, 0, 255);
    static constexpr wchar_t kHintText[] = L"Enter please 2+ characters";
    static constexpr wchar_t kNoItemsText[] = L"No item s found";

    HWND Edit1 = nullptr;
    HWND RunLB = nullptr;  // a virtual report list: the rows live in rows_

    // Set by the click path before the box is shown: the list's height (the rows
    // above the quick-run row) and whether the item searches (its Run is "1").
    void PlaceResultList(int height, bool visible);
    // The open quick-run row's edit width and its background picture, each time the
    // row is drawn open; the picture is copied.
    void FitEdit(int width, Gdiplus::Bitmap* background);

    // --- handlers
    void FormShow();
    void FormHide();
    void FormActivate();
    void FormPaint();
    void FormClick();
    void Edit1Change();
    void Edit1KeyPress(wchar_t key);
    void Edit1MouseMove(int x, int y);
    void Edit1MouseUp(ui::MouseButton button, int x, int y);
    void RunLBDblClick();
    void RunLBKeyPress(wchar_t key);
    void RunLBMouseDown(ui::MouseButton button, int x, int y);
    // Lists the matches of `text` (the hint row for a short text): a new generation
    // empties the list at once and the worker fills it.
    void FindInIndex(const std::wstring& text);
    // Cancels the running search; never waits and never pumps messages.
    void StopSearch();
    void OpenSelectedResult();

    // The path of a result row, empty for the message row or outside the list.
    std::wstring RowPath(int row) const;
    int RowCount() const;
    // The generation the list shows or waits for; the last one whose whole answer
    // (or message row) the list shows; the generations of the posts applied, oldest
    // first; and how many posts of another generation arrived and were dropped.
    std::uint64_t Generation() const { return generation_; }
    std::uint64_t CompleteGeneration() const { return completeGeneration_; }
    const std::vector<std::uint64_t>& AppliedGenerations() const { return appliedGenerations_; }
    int DroppedPosts() const { return droppedPosts_; }

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Click() override { FormClick(); }

private:
    static LRESULT CALLBACK Edit1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK ListWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT WMCtlColorEdit(HDC dc, HWND control);
    LRESULT OnNotify(const NMHDR& header);
    void GetDispInfo(NMLVDISPINFOW& info);
    int RowImage(const SearchRow& row);
    void ApplyRows(std::unique_ptr<SearchRows> rows);
    void ApplyIcon(std::unique_ptr<SearchIcon> icon);
    // Empties the list and forgets the rows, their index share and their icons.
    void ClearRows();
    void ShowMessageRow(const wchar_t* text);
    void SetRowCount(int count);
    void SizeColumn();
    void CloseBox();
    void RunTypedCommand();
    int SelectedRow() const;

    std::unique_ptr<SearchWorker> worker_;  // one per showing with the list
    std::uint64_t generation_ = 0;
    std::uint64_t completeGeneration_ = 0;
    std::vector<std::uint64_t> appliedGenerations_;
    // What the list shows: the message row when message_ is set, else rows_.
    const wchar_t* message_ = nullptr;
    std::shared_ptr<const SearchIndex> index_;
    std::vector<SearchRow> rows_;
    int droppedPosts_ = 0;
    // System image list indexes: by extension (lower case, "\" for folders), and the
    // own icons of the current rows by line.
    std::unordered_map<std::wstring, int> extensionImages_;
    std::unordered_map<std::uint32_t, int> ownImages_;
    std::unordered_set<std::uint32_t> requestedImages_;
    HBRUSH editBrush_ = nullptr;  // owned; the edit's background picture
    bool handCursor_ = false;
    bool keepText_ = false;      // the box comes back after a failed start
    bool inListProc_ = false;    // ShowScrollBar sends messages back to the list
};

}  // namespace dialogs
