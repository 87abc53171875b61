// The drag-out's two halves without a window: the drop source's answers to OLE's
// drag loop, and the shell's data object of a listed entry, which is none whenever
// the shell cannot give one.
#include "popups/form2_drag_out.h"

#include "support/drop_target.h"
#include "support/temp_folder.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DragOutTest, QueryContinueDragCancelsOnEscapeOrTheRightButtonAndDropsOnTheLeftRelease) {
    const struct {
        BOOL escape;
        DWORD keys;
        HRESULT expected;
    } cases[] = {
        {FALSE, MK_LBUTTON, S_OK},
        {FALSE, MK_LBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON, S_OK},
        {FALSE, 0, DRAGDROP_S_DROP},
        {FALSE, MK_SHIFT | MK_MBUTTON, DRAGDROP_S_DROP},
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {TRUE, 0, DRAGDROP_S_CANCEL},
        {FALSE, MK_RBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
    };
    popups::SubMenuDropSource source;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "escape " << c.escape << ", keys 0x" << std::hex << c.keys);
        EXPECT_EQ(source.QueryContinueDrag(c.escape, c.keys), c.expected);
    }
    for (DWORD effect : {DROPEFFECT_NONE, DROPEFFECT_LINK, DROPEFFECT_COPY | DROPEFFECT_MOVE})
        EXPECT_EQ(source.GiveFeedback(effect), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(DragOutTest, TheShellsDataObjectCarriesTheEntryAndIsNoneWhereTheShellRefusesIt) {
    testing_support::TempFolder folder;
    folder.WriteFile(L"listed\\notes.txt", "notes");
    folder.WriteFile(L"listed\\sub\\inner.txt", "inner");
    folder.WriteFile(L"plain.txt", "plain");
    const std::wstring listed = folder.PathOf(L"listed\\");
    const struct {
        const char* what;
        std::wstring folder;
        std::wstring name;
        bool found;
    } cases[] = {
        {"a file", listed, L"notes.txt", true},
        {"a sub-folder", listed, L"sub", true},
        {"the folder without its backslash", folder.PathOf(L"listed"), L"notes.txt", true},
        {"a missing folder", folder.PathOf(L"gone\\"), L"notes.txt", false},
        {"a file as the folder", folder.PathOf(L"plain.txt"), L"notes.txt", false},
        {"no folder", L"", L"notes.txt", false},
        {"the \"..\" row, whose name is empty", listed, L"", false},
        {"a vanished entry", listed, L"vanished.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto data = popups::GetShellDataObject(c.folder, c.name);
        ASSERT_EQ(data != nullptr, c.found);
        if (!c.found) continue;
        const auto paths = drop_target::DroppedPaths(data.Get());
        ASSERT_EQ(paths.size(), 1u);
        EXPECT_EQ(CompareStringOrdinal(paths[0].c_str(), -1, (listed + c.name).c_str(), -1, TRUE), CSTR_EQUAL)
            << ui::WideToUtf8(paths[0]);
    }
}

}  // namespace
