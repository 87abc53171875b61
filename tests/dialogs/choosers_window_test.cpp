// The shell's real file and folder choosers, answered from a thread timer while
// they run their own modal loops.
#include "dialogs/choosers.h"
#include "support/child_windows.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct FindDialog {
    const wchar_t* title;  // null: any
    HWND found;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindDialog*>(lp);
    wchar_t name[16] = {}, title[64] = {};
    GetClassNameW(hwnd, name, 16);
    GetWindowTextW(hwnd, title, 64);
    if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    if (find->title && wcscmp(title, find->title) != 0) return TRUE;
    find->found = hwnd;
    return FALSE;
}

// The chooser this thread shows now; null while none is up.
HWND ShownDialog(const wchar_t* title) {
    FindDialog find{title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOne, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND Descendant(HWND dialog, int id) { return testing_support::DescendantWithId(dialog, id); }

// Runs the actions on the chooser once it is up (polled on the timer), one per tick,
// so that what an action posts is handled before the next one runs.
class Answerer {
public:
    using Action = std::function<void(HWND)>;
    Answerer(const wchar_t* title, Action act) : Answerer(title, std::vector<Action>{std::move(act)}) {}
    Answerer(const wchar_t* title, std::vector<Action> acts) : title_(title), acts_(std::move(acts)) {
        timer_ = SetTimer(nullptr, 0, 50, &Tick);
        Current() = this;
    }
    ~Answerer() {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    bool Answered() const { return next_ == acts_.size(); }
    // Called by an action: it runs again at the next tick instead of the next one.
    static void Again() {
        if (Current() && Current()->next_ > 0) --Current()->next_;
    }

private:
    static Answerer*& Current() {
        static Answerer* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Answerer* self = Current();
        if (!self || self->Answered()) return;
        HWND dialog = ShownDialog(self->title_);
        if (!dialog) return;
        self->acts_[self->next_++](dialog);
    }

    const wchar_t* title_;
    std::vector<Action> acts_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

const dialogs::FileFilter kFilter = {{L"Text files (*.txt)", L"*.txt"}, {L"All files (*.*)", L"*.*"}};

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// The text of the folder chooser's selected tree item: the tree fills and selects as
// its own messages arrive, later under load.
std::wstring SelectedFolderName(HWND dialog) {
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) return {};
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return {};
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

std::wstring CurrentFolder() {
    wchar_t folder[1024] = {};
    GetCurrentDirectoryW(1024, folder);
    return folder;
}

TEST(FileChooser, ConfirmsTheTypedFileWithTheRelativePathBox) {
    testing_support::TempFolder folder;
    folder.WriteFile(L"chosen.txt", "x");
    const std::wstring chosen = folder.PathOf(L"chosen.txt");
    bool boxWasClear = false;
    Answerer answer(L"Select File", [&](HWND dialog) {
        HWND box = Descendant(dialog, 101);
        ASSERT_NE(box, nullptr);
        boxWasClear = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(dialog, CDM_SETCONTROLTEXT, GetDlgItem(dialog, cmb13) ? cmb13 : edt1,
                     reinterpret_cast<LPARAM>(chosen.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    std::wstring fileName = L"left over";
    bool relative = false;
    const std::wstring before = CurrentFolder();
    // The folder of a file given as the start: the dialog opens in the temp folder.
    EXPECT_TRUE(dialogs::RealSelectFile(nullptr, chosen, kFilter, fileName, relative));
    // The dialog leaves the process's current folder where it was, so the chosen
    // folder is not held in use.
    EXPECT_EQ(CurrentFolder(), before);
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(boxWasClear);
    EXPECT_TRUE(SamePath(fileName, chosen)) << fileName;
    EXPECT_TRUE(relative);
}

TEST(FileChooser, CancelEmptiesTheNameAndKeepsTheFlag) {
    testing_support::TempFolder folder;
    Answerer answer(L"Select File", [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    std::wstring fileName = L"left over";
    bool relative = true;
    EXPECT_FALSE(dialogs::RealSelectFile(nullptr, folder.Path(), kFilter, fileName, relative));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(fileName, L"");
    EXPECT_TRUE(relative);
}

TEST(FolderChooser, GivesTheChosenFolderAndItsName) {
    testing_support::TempFolder folder;
    std::wstring target = folder.Path();
    target.pop_back();  // no trailing backslash, as the shell gives folders
    const std::wstring name = target.substr(target.find_last_of(L'\\') + 1);
    // OK only once the tree shows the selection (at most about twenty seconds of
    // ticks). Under load Wine may still be filling the tree when the first request
    // comes, and then drops it without a word, so the request is made again now and
    // then until the tree shows it.
    int waits = 0;
    const auto select = [&](HWND dialog) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(target.c_str()));
    };
    Answerer answer(nullptr, {select,
                              [&](HWND dialog) {
                                  if (!SamePath(SelectedFolderName(dialog), name) && ++waits < 400) {
                                      if (waits % 20 == 0) select(dialog);
                                      Answerer::Again();
                                      return;
                                  }
                                  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                              }});
    std::wstring displayName, path = L"left over";
    EXPECT_TRUE(dialogs::RealBrowseFolder(nullptr, displayName, path));
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(SamePath(path, target)) << path;
    EXPECT_FALSE(displayName.empty());
}

TEST(FolderChooser, CancelEmptiesThePathAndKeepsTheName) {
    Answerer answer(nullptr, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    std::wstring displayName = L"kept", path = L"left over";
    EXPECT_FALSE(dialogs::RealBrowseFolder(nullptr, displayName, path));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(path, L"");
    EXPECT_EQ(displayName, L"kept");
}

TEST(IconChooser, ANameTooLongForItsBufferIsNotHandedOver) {
    std::wstring file(300, L'a');
    int index = 7;
    EXPECT_EQ(dialogs::RealPickIcon(nullptr, file, index), 0);
    EXPECT_EQ(file, std::wstring(300, L'a'));
    EXPECT_EQ(index, 7);
}

}  // namespace
