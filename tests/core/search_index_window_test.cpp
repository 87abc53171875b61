// The index build at start-up on its worker while the menu answers, the close during a
// build, and a folder item's listing filled on a hover and kept in the menu file.
#include "menu_input_fixture.h"

#include "core/folder_menu.h"
#include "core/search_index.h"
#include "slowed_walk.h"
#include "popups/form2.h"
#include "support/held_file.h"
#include "ui/handles.h"
#include "ui/sessions.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// Runs the GUI thread's messages until `done` is set.
void PumpUntil(const std::atomic<bool>& done) {
    while (!done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class IndexOnStartTest : public MainWindowTest {
protected:
    void TearDown() override {
        core::SetFolderEnumerationForTests(std::nullopt);
        MainWindowTest::TearDown();
    }
};

TEST_F(IndexOnStartTest, TheMenuAnswersDuringTheBuildAndTheCloseStopsItLeavingTheOldIndex) {
    constexpr int kFiles = 300;
    for (int i = 0; i < kFiles; ++i) folder.WriteFile(L"tree\\f" + std::to_wstring(i) + L".txt", "f");
    folder.WriteFile(L"index.txt", ui::WideToAnsi(folder.PathOf(L"tree")) + "\r\n");
    folder.WriteFile(L"Index.dat", "old\r\n");
    config += L"IndexOnStart=1\r\n";
    // 30 ms an entry: the whole walk would take 9 s, longer than the close waits.
    auto entries = std::make_shared<std::atomic<int>>(0);
    core::SetFolderEnumerationForTests(SlowedWalk(entries, 30));
    Start();
    ASSERT_FALSE(core::WaitForIndexBuild(0)) << "the window is up while the build runs";

    std::atomic<bool> done{false};
    LRESULT answered = 0;
    DWORD_PTR result = 0;
    const HWND main = Main().Handle();
    std::thread probe([&] {
        answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result);
        done = true;
    });
    PumpUntil(done);
    probe.join();
    EXPECT_NE(answered, 0) << "the main window answers during the build";
    EXPECT_FALSE(core::WaitForIndexBuild(0));

    core::DestroyForms();
    EXPECT_TRUE(core::WaitForIndexBuild(0)) << "the close waited for the cancelled build to end";
    EXPECT_LT(entries->load(), kFiles / 2);
    EXPECT_EQ(folder.ReadFile(L"Index.dat"), "old\r\n");
    EXPECT_FALSE(folder.Exists(L"Index.dat.tmp"));
}

class FolderMenuHoverTest : public MenuInputTest {};

std::string FolderMenuXml(const std::wstring& folder, const std::string& filter) {
    return "<?xml version=\"1.0\"?>\r\n<Items><item><Run>" + ui::WideToUtf8(folder) +
           "</Run><Params>" + filter +
           "</Params><Type>1</Type><Caption>F</Caption><Param1>1</Param1><subitem>"
           "<item><Run>stale</Run><Type>55</Type><Caption>stale</Caption></item></subitem></item>"
           "<item><Run>x</Run><Type>0</Type><Caption>x</Caption></item></Items>\r\n";
}

TEST_F(FolderMenuHoverTest, AHoverListsTheFolderThroughItsFilterAndKeepsTheRowsInTheMenuFile) {
    for (const wchar_t* name : {L"a.txt", L"b.TXT", L"c.pdf"}) folder.WriteFile(std::wstring(L"F\\") + name, "x");
    folder.WriteFile(L"F\\sub\\in.txt", "x");
    struct Case {
        const char* name;
        std::wstring folder;
        std::string filter;
        bool heldMenu;  // the menu file cannot be replaced
        std::vector<std::wstring> captions;  // sorted
    };
    const Case cases[] = {
        {"filtered", folder.PathOf(L"F"), "txt", false, {L"a.txt", L"b.TXT"}},
        {"everything", folder.PathOf(L"F"), "", false, {L"a.txt", L"b.TXT", L"c.pdf", L"sub"}},
        // Wine replaces a read-only file, so the save is made to fail as another program
        // holding the file would make it.
        {"a menu file that cannot be replaced", folder.PathOf(L"F"), "", true, {L"a.txt", L"b.TXT", L"c.pdf", L"sub"}},
        {"a missing folder", folder.PathOf(L"missing"), "", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string menu = FolderMenuXml(c.folder, c.filter);
        folder.WriteFile(L"1.xml", menu);
        boxes.clear();
        Start();
        ASSERT_TRUE(boxes.empty());
        std::optional<testing_support::FileHeldOpen> held;
        if (c.heldMenu) held.emplace(folder.PathOf(L"1.xml"));
        Main().ScrollTop = 3;
        Hover(1);
        EXPECT_EQ(Main().ScrollTop, 0);
        ASSERT_TRUE(core::Form2->Visible());
        std::vector<std::wstring> shown;
        for (const core::TLNItem& item : Main().ItemLists[2]) {
            EXPECT_EQ(item.Type, 55);
            EXPECT_EQ(item.Run, folder.PathOf(L"F\\") + item.Caption);
            shown.push_back(item.Caption);
        }
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, c.captions);
        EXPECT_TRUE(boxes.empty()) << "a hover is no edit: nothing is reported";

        held.reset();
        const std::string saved = folder.ReadFile(L"1.xml");
        if (c.heldMenu || c.folder != folder.PathOf(L"F")) {
            EXPECT_EQ(saved, menu) << "nothing written";
        } else {
            ui::ComSession com;
            ui::XmlDocument doc;
            ASSERT_TRUE(doc.Load(folder.PathOf(L"1.xml")));
            EXPECT_EQ(doc.Root().ElementAt(0).Child(L"subitem").ElementCount(), c.captions.size());
        }
        core::DestroyForms();
    }
}

}  // namespace
