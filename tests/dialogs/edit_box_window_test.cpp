// The quick-run box opened by a click on its row, over a real Index.dat: the search
// by generation, the message rows, Enter, opening a result, the ways to close it and
// its layout.
#include "../core/main_window_fixture.h"

#include "core/launch.h"
#include "core/motion.h"
#include "core/search_index.h"
#include "core/shell_menu.h"
#include "dialogs/edit_box.h"
#include "support/modal_steps.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

using testing_support::ModalSteps;

std::wstring LowerName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return name;
}

core::TLNItem QuickRun(std::wstring run, std::wstring params) {
    core::TLNItem item;
    item.Type = 6;
    item.Run = std::move(run);
    item.Params = std::move(params);
    item.Caption = L"run";
    return item;
}

core::TLNItem File(std::wstring run) {
    core::TLNItem item;
    item.Type = 0;
    item.Run = std::move(run);
    item.Caption = L"file";
    return item;
}

class EditBoxTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        core::SetMotionClockForTests([](int) {}, [](int) {});
        core::ShellFunctions shell;
        shell.execute = [this](const core::ShellCall& call) -> INT_PTR {
            std::lock_guard lock(mutex);
            calls.push_back(call);
            return shellResult;
        };
        shell.beep = [] {};
        shell.playSound = [](const std::wstring&) {};
        core::SetShellForTests(shell);
    }
    void TearDown() override {
        core::SetShellForTests(std::nullopt);
        core::SetMotionClockForTests(nullptr, nullptr);
        MainWindowTest::TearDown();
    }

    // 100,000 lines: a few hundred match "abc", fewer "abcd", two real folders and a
    // real file near the end, the rest nothing.
    void WriteIndex() {
        folder.WriteFile(L"dirs\\Abc folder\\f.txt", "");
        folder.WriteFile(L"dirs\\xABCy.d\\f.txt", "");
        folder.WriteFile(L"files\\abc real.txt", "x");
        std::wstring text;
        for (int i = 0; i < 100000; ++i) {
            std::wstring line;
            if (i == 99000) line = folder.PathOf(L"files\\abc real.txt");
            else if (i == 99500) line = folder.PathOf(L"dirs\\Abc folder");
            else if (i == 99900) line = folder.PathOf(L"dirs\\xABCy.d");
            else if (i % 1999 == 0) line = L"C:\\none\\aBcD" + std::to_wstring(i) + L".bin";
            else if (i % 997 == 0) line = L"C:\\none\\abc" + std::to_wstring(i) + L".txt";
            else if (i % 500 == 0) line = L"C:\\none\\ab" + std::to_wstring(i);
            else if (i % 333 == 0) line = L"C:\\abc\\in a folder " + std::to_wstring(i) + L".txt";
            else line = L"C:\\none\\file" + std::to_wstring(i) + L".txt";
            lines.push_back(line);
            text += line + L"\r\n";
        }
        folder.WriteFile(core::kIndexDataFile, ui::EncodeMarkedText(text));
        folders = {folder.PathOf(L"dirs\\Abc folder"), folder.PathOf(L"dirs\\xABCy.d")};
    }

    // The rows a text should give: folders first, otherwise in file order.
    std::vector<std::wstring> Expected(const std::wstring& text) const {
        std::vector<std::wstring> first, rest;
        for (const std::wstring& line : lines) {
            if (LowerName(line).find(text) == std::wstring::npos) continue;
            (std::count(folders.begin(), folders.end(), line) ? first : rest).push_back(line);
        }
        first.insert(first.end(), rest.begin(), rest.end());
        return first;
    }

    // The main window with these rows at a known place, row `selected` (1-based) hovered.
    void Rows(std::vector<core::TLNItem> items, int selected) {
        auto& main = Main();
        main.SetTop(200);
        main.ItemLists[1] = std::move(items);
        main.MainItemCount = static_cast<int>(main.ItemLists[1].size());
        main.SelectedIndex[1] = selected;
        SetCursorPos(main.Left() + 5, main.Top() + main.Skin.HeaderSize + 1);
    }

    // Clicks the hovered quick-run row and runs `body` inside the box's modal loop;
    // the box is closed after it when still open. Returns once the box is closed.
    void InBox(std::function<void()> body) {
        ModalSteps steps(10);
        bool ran = false;
        steps.Then([&] {
            ran = true;
            body();
            if (core::EditBox->Visible()) core::EditBox->Hide();
        });
        steps.Start();
        Main().FormClick();
        EXPECT_TRUE(ran) << "the box did not open";
    }

    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            ui::Application::Instance().ProcessMessages();
            if (condition()) return true;
            Sleep(2);
        }
        return false;
    }
    // The box's list shows the whole answer for its current text.
    static bool Settled() {
        const dialogs::TEditBox& box = *core::EditBox;
        return box.CompleteGeneration() == box.Generation();
    }
    static bool WaitSettled() { return WaitUntil(Settled); }

    static std::vector<std::wstring> Shown() {
        std::vector<std::wstring> rows;
        for (int i = 0; i < core::EditBox->RowCount(); ++i) rows.push_back(core::EditBox->RowPath(i));
        return rows;
    }
    static std::wstring RowText(int row) {
        wchar_t text[512] = {};
        ListView_GetItemText(core::EditBox->RunLB, row, 0, text, 512);
        return text;
    }
    static void Type(const std::wstring& text) { ui::SetControlText(core::EditBox->Edit1, text); }
    static void Key(HWND control, wchar_t key) { SendMessageW(control, WM_CHAR, key, 0); }

    std::vector<core::ShellCall> Calls() {
        std::lock_guard lock(mutex);
        return calls;
    }

    std::vector<std::wstring> lines;
    std::vector<std::wstring> folders;
    std::mutex mutex;
    std::vector<core::ShellCall> calls;
    INT_PTR shellResult = 42;
};

TEST_F(EditBoxTest, QuickChangesEndWithExactlyTheLastTextsRowsFoldersFirstAndNoOlderRows) {
    WriteIndex();
    Start();
    Rows({File(L"C:\\a.exe"), QuickRun(L"1", L"")}, 2);
    InBox([&] {
        dialogs::TEditBox& box = *core::EditBox;
        EXPECT_EQ(GetFocus(), box.Edit1) << "keys typed at once reach the edit";
        for (const wchar_t* text : {L"ab", L"abc", L"abcd", L"abc"}) Type(text);
        const std::uint64_t last = box.Generation();
        ASSERT_TRUE(WaitSettled());
        EXPECT_EQ(Shown(), Expected(L"abc"));
        EXPECT_EQ(Shown().size(), 154u) << "two folders, a file, 100 of abc and 51 of abcd";
        for (std::uint64_t applied : box.AppliedGenerations()) EXPECT_EQ(applied, last);
        // The text on the rows is the file name with its extension.
        EXPECT_EQ(RowText(0), L"Abc folder");
        EXPECT_EQ(RowText(2), L"aBcD0.bin");

        Type(L"abcd");
        ASSERT_TRUE(WaitSettled());
        EXPECT_EQ(Shown(), Expected(L"abcd"));
    });
}

TEST_F(EditBoxTest, ShortTextsShowTheGreyHintAndTextsWithoutMatchesTheGreyNoItemsRow) {
    WriteIndex();
    Start();
    Rows({QuickRun(L"1", L"")}, 1);
    InBox([&] {
        const HWND list = core::EditBox->RunLB;
        struct Case {
            const wchar_t* text;
            const wchar_t* row;  // null for results
        };
        for (const Case c : {Case{L"", dialogs::TEditBox::kHintText}, Case{L"ab", dialogs::TEditBox::kHintText},
                             Case{L"qqq", dialogs::TEditBox::kNoItemsText}, Case{L"abc", nullptr},
                             Case{L"[!a", dialogs::TEditBox::kNoItemsText}}) {
            SCOPED_TRACE(c.text);
            Type(c.text);
            ASSERT_TRUE(WaitSettled());
            if (c.row) {
                EXPECT_EQ(core::EditBox->RowCount(), 1);
                EXPECT_EQ(RowText(0), c.row);
                EXPECT_EQ(core::EditBox->RowPath(0), L"");
                EXPECT_EQ(ListView_GetTextColor(list), GetSysColor(COLOR_GRAYTEXT));
            } else {
                EXPECT_GT(core::EditBox->RowCount(), 100);
                EXPECT_EQ(ListView_GetTextColor(list), GetSysColor(COLOR_WINDOWTEXT));
            }
        }
        // The message row opens nothing.
        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        Type(L"ab");
        Key(list, VK_RETURN);
        EXPECT_TRUE(core::EditBox->Visible());
    });
    EXPECT_TRUE(Calls().empty());
}

TEST_F(EditBoxTest, EnterRunsParamsWithTheTextAndTheMenuStays) {
    Start();
    Rows({File(L"C:\\a.exe"), QuickRun(L"0", L"x:%s")}, 2);
    InBox([&] {
        Type(L"abc");
        Key(core::EditBox->Edit1, VK_RETURN);
        EXPECT_FALSE(core::EditBox->Visible());
    });
    const auto made = Calls();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].verb, L"open");
    EXPECT_EQ(made[0].file, L"x:abc");
    EXPECT_EQ(made[0].parameters, L"");
    EXPECT_EQ(made[0].directory, L"");
    EXPECT_EQ(made[0].show, SW_SHOW);
    EXPECT_FALSE(Main().MenuHidden);
}

TEST_F(EditBoxTest, EnterWithoutParamsRunsTheTextAndAFailedStartBringsTheBoxBackWithItsText) {
    WriteIndex();
    Start();
    Rows({QuickRun(L"1", L"  ")}, 1);
    shellResult = 2;
    InBox([&] {
        Type(L"abcd");
        Key(core::EditBox->Edit1, VK_RETURN);
        EXPECT_TRUE(core::EditBox->Visible()) << "back after the failed start";
        EXPECT_EQ(ui::ControlText(core::EditBox->Edit1), L"abcd");
        ASSERT_TRUE(WaitSettled());
        EXPECT_EQ(Shown(), Expected(L"abcd")) << "the search runs again";
        shellResult = 33;
        Key(core::EditBox->Edit1, VK_RETURN);
        EXPECT_FALSE(core::EditBox->Visible());
    });
    const auto made = Calls();
    ASSERT_EQ(made.size(), 2u);
    for (const auto& call : made) {
        EXPECT_EQ(call.file, L"abcd");
        EXPECT_EQ(call.show, SW_SHOW);
    }
    EXPECT_FALSE(Main().MenuHidden);
}

TEST_F(EditBoxTest, OpeningAResultStartsItNormallyAndSlidesTheMenuOutAVanishedOneOpensNothing) {
    WriteIndex();
    Start();
    Rows({QuickRun(L"1", L"")}, 1);
    InBox([&] {
        dialogs::TEditBox& box = *core::EditBox;
        Type(L"abc real");
        ASSERT_TRUE(WaitSettled());
        ASSERT_EQ(box.RowCount(), 1);
        ListView_SetItemState(box.RunLB, 0, LVIS_SELECTED, LVIS_SELECTED);
        folder.Remove(L"files\\abc real.txt");
        NMHDR header{box.RunLB, 2, static_cast<UINT>(NM_DBLCLK)};
        SendMessageW(box.Handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&header));
        EXPECT_TRUE(box.Visible()) << "a vanished result opens nothing";

        Type(L"xabcy");
        ASSERT_TRUE(WaitSettled());
        ASSERT_EQ(box.RowCount(), 1);
        ListView_SetItemState(box.RunLB, 0, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageW(box.Handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&header));
        EXPECT_FALSE(box.Visible());
    });
    const auto made = Calls();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].file, folder.PathOf(L"dirs\\xABCy.d"));
    EXPECT_EQ(made[0].show, SW_SHOWNORMAL);
    EXPECT_TRUE(Main().MenuHidden) << "the menu slid out";
}

TEST_F(EditBoxTest, EnterInTheListOpensTheSelectedResult) {
    WriteIndex();
    Start();
    Rows({QuickRun(L"1", L"")}, 1);
    InBox([&] {
        Type(L"Abc folder");
        ASSERT_TRUE(WaitSettled());
        ASSERT_EQ(core::EditBox->RowCount(), 1);
        ListView_SetItemState(core::EditBox->RunLB, 0, LVIS_SELECTED, LVIS_SELECTED);
        Key(core::EditBox->RunLB, VK_RETURN);
    });
    const auto made = Calls();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].file, folder.PathOf(L"dirs\\Abc folder"));
}

TEST_F(EditBoxTest, RightClickOnAResultAsksForItsShellMenuAndOnTheMessageRowForNothing) {
    WriteIndex();
    Start();
    // Low in the menu: the list fills the rows above it.
    Rows({File(L"C:\\a.exe"), File(L"C:\\b.exe"), File(L"C:\\c.exe"), QuickRun(L"1", L"")}, 4);
    std::vector<core::ShellMenuRequest> asked;
    core::SetShellMenuForTests([&](const core::ShellMenuRequest& request) {
        asked.push_back(request);
        return false;
    });
    ui::ScopeExit restore([] { core::SetShellMenuForTests(nullptr); });
    InBox([&] {
        dialogs::TEditBox& box = *core::EditBox;
        const auto rightClick = [&](int row) {
            RECT r{};
            ListView_GetItemRect(box.RunLB, row, &r, LVIR_LABEL);
            const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            // The list waits for the release inside its handling of the press.
            PostMessageW(box.RunLB, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            SendMessageW(box.RunLB, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
            ui::Application::Instance().ProcessMessages();
            return at;
        };
        Type(L"abc");
        ASSERT_TRUE(WaitSettled());
        ASSERT_GT(box.RowCount(), 2);
        ListView_SetItemState(box.RunLB, 2, LVIS_SELECTED, LVIS_SELECTED);
        const POINT at = rightClick(1);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].window, box.RunLB);
        EXPECT_EQ(asked[0].path, box.RowPath(1)) << "the row clicked, not the one selected before";
        EXPECT_FALSE(asked[0].path.empty());
        EXPECT_EQ(asked[0].point.x, at.x);
        EXPECT_EQ(asked[0].point.y, at.y);

        Type(L"ab");
        ASSERT_TRUE(WaitSettled());
        ASSERT_EQ(box.RowPath(0), L"");
        rightClick(0);
        EXPECT_EQ(asked.size(), 1u) << "the message row has no menu";
    });
    EXPECT_TRUE(Calls().empty());
}

TEST_F(EditBoxTest, EscapeAFormClickAndAReleaseInTheCloseZoneCloseTheBox) {
    Start();
    Rows({QuickRun(L"0", L"x:%s")}, 1);
    const int zone = Main().Skin.EditBoxButtonSize;
    struct Case {
        const char* name;
        std::function<void(dialogs::TEditBox&, int width)> act;
        bool closes;
    };
    const std::vector<Case> cases = {
        {"Escape in the edit", [](dialogs::TEditBox& b, int) { Key(b.Edit1, VK_ESCAPE); }, true},
        {"Escape in the list", [](dialogs::TEditBox& b, int) { Key(b.RunLB, VK_ESCAPE); }, true},
        {"a click on the form",
         [](dialogs::TEditBox& b, int) {
             SendMessageW(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
             SendMessageW(b.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
         },
         true},
        {"a right release past the zone's edge",
         [zone](dialogs::TEditBox& b, int w) { SendMessageW(b.Edit1, WM_RBUTTONUP, 0, MAKELPARAM(w - zone + 1, 3)); },
         true},
        {"a left release on the zone's edge",
         [zone](dialogs::TEditBox& b, int w) { SendMessageW(b.Edit1, WM_LBUTTONUP, 0, MAKELPARAM(w - zone, 3)); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool open = true;
        InBox([&] {
            dialogs::TEditBox& box = *core::EditBox;
            c.act(box, ui::ChildRect(box.Edit1).right - ui::ChildRect(box.Edit1).left);
            ui::Application::Instance().ProcessMessages();
            open = box.Visible();
        });
        EXPECT_EQ(open, !c.closes);
    }
    EXPECT_TRUE(Calls().empty());
}

TEST_F(EditBoxTest, TheHandShowsOverTheCloseZoneOnly) {
    Start();
    Rows({QuickRun(L"0", L"")}, 1);
    const int zone = Main().Skin.EditBoxButtonSize;
    InBox([&] {
        const HWND edit = core::EditBox->Edit1;
        const int width = ui::ChildRect(edit).right - ui::ChildRect(edit).left;
        for (const int x : {width - zone - 1, width - zone, width - 1, 0}) {
            SCOPED_TRACE(x);
            SendMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(x, 3));
            SendMessageW(edit, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor() == ui::HandPointCursor(), x >= width - zone);
        }
    });
}

TEST_F(EditBoxTest, WithTheListHiddenNoWorkerStarts) {
    WriteIndex();
    Start();
    Rows({QuickRun(L"0", L"")}, 1);
    const int before = dialogs::SearchWorkersStarted();
    InBox([&] {
        EXPECT_FALSE(ui::ControlVisible(core::EditBox->RunLB));
        Type(L"abc");
        ui::Application::Instance().ProcessMessages();
        EXPECT_EQ(core::EditBox->RowCount(), 0);
    });
    EXPECT_EQ(dialogs::SearchWorkersStarted(), before);
}

TEST_F(EditBoxTest, LayoutFollowsTheSkinAndTheLayeredAttributesTheTransparency) {
    Start();
    auto& main = Main();
    struct Case {
        bool captions;
        std::uint8_t transparency;
        const wchar_t* run;
        int row;  // 1-based, the quick-run one
    };
    for (const Case c : {Case{false, 100, L"1", 3}, Case{true, 50, L"1", 2}, Case{false, 0, L"0", 1},
                         Case{true, 200, L"1", 1}}) {
        SCOPED_TRACE(testing::Message() << c.captions << " " << int{c.transparency} << " " << c.row);
        main.Skin.ShowCaption = c.captions;
        main.Settings.BackgroundTransparent = c.transparency;
        std::vector<core::TLNItem> items(static_cast<size_t>(c.row - 1), File(L"C:\\a.exe"));
        items.push_back(QuickRun(c.run, L""));
        Rows(items, c.row);
        main.LevelWidths[1] = 300;
        RECT box{}, edit{}, list{};
        bool listVisible = false;
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        InBox([&] {
            dialogs::TEditBox& b = *core::EditBox;
            GetWindowRect(b.Handle(), &box);
            edit = ui::ChildRect(b.Edit1);
            list = ui::ChildRect(b.RunLB);
            listVisible = ui::ControlVisible(b.RunLB);
            GetLayeredWindowAttributes(b.Handle(), &key, &alpha, &flags);
        });
        const auto& skin = main.Skin;
        const int boxWidth = c.captions ? 300 : skin.EditBoxWidth;
        const int boxHeight = (c.row - 1) * skin.ItemSize + skin.ItemSize;
        EXPECT_EQ(box.left, main.Left());
        EXPECT_EQ(box.top, main.Top() + skin.HeaderSize);
        EXPECT_EQ(box.right - box.left, boxWidth);
        EXPECT_EQ(box.bottom - box.top, boxHeight);
        EXPECT_EQ(edit.left, skin.EditBoxX);
        EXPECT_EQ(edit.top, boxHeight - skin.ItemSize + skin.EditBoxY);
        EXPECT_EQ(edit.bottom - edit.top, skin.EditBoxHeight);
        EXPECT_EQ(edit.right - edit.left, core::QuickRunEditWidth(skin, 300));
        EXPECT_EQ(listVisible, std::wstring(c.run) == L"1");
        EXPECT_EQ(list.left, skin.VistaMenuLeftMargin);
        EXPECT_EQ(list.top, 0);
        EXPECT_EQ(list.bottom - list.top, (c.row - 1) * skin.ItemSize);
        EXPECT_EQ(list.right - list.left,
                  c.captions ? 300 - skin.VistaMenuLeftMargin - skin.VistaMenuRightMargin : skin.EditBoxWidth);
        EXPECT_EQ(key, RGB(255, 0, 255));
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
        EXPECT_EQ(alpha, static_cast<BYTE>(ui::RoundEven(std::min<int>(c.transparency, 100) * 255 / 100.0)));
    }
}

}  // namespace
