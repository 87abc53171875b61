#include "menu_input_fixture.h"

#include "support/process.h"

#include <commctrl.h>

#include <optional>
#include <thread>

namespace {

using Names = std::vector<std::wstring>;

class DeleteItemTest : public MenuInputTest {
protected:
    std::optional<ui::MessageBoxRequest> lastBox;
    void AnswerBoxes(int id) {
        answer = [this, id](const ui::MessageBoxRequest& request) {
            lastBox = request;
            return id;
        };
    }
};

TEST_F(DeleteItemTest, QuestionFollowsTheTypeWithTheCaptionInPlace) {
    StartWith({{0, "Link"}, {1, "Folder"}, {2, "Group"}, {3, "Shell"}, {4, "Tool"}, {5, "Dial"}, {6, "Run"},
               {7, "Weather"}, {11, "Plug"}, {55, "Entry"}, {777, "ignored"}});
    const std::string menu = folder.ReadFile(L"1.xml");
    AnswerBoxes(IDNO);
    const std::wstring link = L"Do You really wish to remove a link \"";
    const std::wstring object = L"Do You really wish to remove an object \"";
    struct Case {
        int position;
        std::wstring question;
    };
    const Case cases[] = {
        {0, link + L"Link\"?"},
        {1, link + L"Folder\"?"},
        {2, L"Do You really wish to remove a group \"Group\"?"},
        {3, object + L"Shell\"? "},
        {4, link + L"Tool\"?"},
        {5, object + L"Dial\"? "},
        {6, link + L"Run\"?"},
        {7, object + L"Weather\"? "},
        {8, L""},
        {9, L""},
        {10, L"Do You really wish to remove an object ?"},
    };
    for (const Case& c : cases) {
        boxes.clear();
        EXPECT_FALSE(Main().DeleteItem(c.position, false));
        EXPECT_EQ(boxes, (Names{c.question})) << "position " << c.position;
        ASSERT_TRUE(lastBox);
        EXPECT_EQ(lastBox->owner, nullptr);
        EXPECT_EQ(lastBox->caption, L"Zarvo");
        EXPECT_EQ(lastBox->type, static_cast<UINT>(MB_YESNO));
    }
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu) << "a question answered No changes nothing";
    EXPECT_EQ(Captions().size(), 11u);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1)) << "the timer runs again after the question";

    // A language's object question too short to lose its caption part is kept whole.
    Main().Messages.RemoveObject = L"Gone";
    boxes.clear();
    Main().DeleteItem(10, false);
    EXPECT_EQ(boxes, (Names{L"Gone?"}));
}

TEST_F(DeleteItemTest, ConfirmedThroughTheTaskDialogRemovesTheItemAndTheCachedImagesOfItsChildren) {
    core::VistaOrLater = true;
    std::vector<core::TaskDialogRequest> asked;
    core::SetTaskDialogHandler([&](const core::TaskDialogRequest& request) {
        asked.push_back(request);
        return IDYES;
    });
    StartWith({{0, "A"},
               {2, "G", "", "5", "", {{0, "c1", "", "6"}, {2, "c2", "", "7", "", {{0, "deep"}}}}},
               {0, "B", "", "9"}});
    for (const wchar_t* id : {L"5", L"6", L"7", L"9"}) {
        folder.WriteFile(std::wstring(L"cache\\") + id + L".png", "png");
        folder.WriteFile(std::wstring(L"cache\\s") + id + L".png", "png");
    }
    Main().SelectedIndex[1] = 2;

    EXPECT_TRUE(Main().DeleteItem(1, false));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].owner, Main().Handle());
    EXPECT_EQ(asked[0].title, L"Zarvo");
    EXPECT_EQ(asked[0].mainInstruction, L"Do You really wish to remove a group \"G\"?");
    EXPECT_EQ(asked[0].content, L"Deleting this shortcut does not delete the object.");
    EXPECT_EQ(asked[0].buttons, core::kTaskYes | core::kTaskNo);
    EXPECT_EQ(asked[0].icon, core::kIconInformation);
    EXPECT_TRUE(boxes.empty());

    EXPECT_EQ(Captions(), (Names{L"A", L"B"}));
    EXPECT_EQ(folder.ReadFile(L"1.xml").find("c1"), std::string::npos);
    for (const wchar_t* gone : {L"cache\\5.png", L"cache\\s5.png", L"cache\\6.png", L"cache\\s6.png", L"cache\\7.png",
                                L"cache\\s7.png"})
        EXPECT_FALSE(folder.Exists(gone)) << gone;
    EXPECT_TRUE(folder.Exists(L"cache\\9.png"));
    EXPECT_TRUE(folder.Exists(L"cache\\s9.png"));
    EXPECT_EQ(Main().SelectedIndex[1], -1);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
}

TEST_F(DeleteItemTest, OnlyAYesDeletesAndPositionsOutsideTheMenuDoNothing) {
    core::VistaOrLater = true;
    int pressed = IDYES;
    core::SetTaskDialogHandler([&](const core::TaskDialogRequest&) { return pressed; });
    struct Case {
        int position;
        bool silent;
        int pressed;
        bool deleted;
    };
    for (const Case c : {Case{0, false, IDNO, false}, Case{0, false, IDCANCEL, false}, Case{0, false, 0, false},
                         Case{0, true, IDNO, true}, Case{-1, true, IDYES, false}, Case{2, true, IDYES, false},
                         Case{-1, false, IDYES, false}}) {
        StartWith({{0, "A"}, {0, "B"}});
        const std::string menu = folder.ReadFile(L"1.xml");
        pressed = c.pressed;
        EXPECT_EQ(Main().DeleteItem(c.position, c.silent), c.deleted)
            << "position " << c.position << ", silent " << c.silent << ", pressed " << c.pressed;
        if (c.deleted) EXPECT_EQ(Captions(), (Names{L"B"}));
        else EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        core::DestroyForms();
    }
}

TEST_F(DeleteItemTest, TaskDialogShowsTheQuestionAndAnswersWithThePressedButton) {
    core::VistaOrLater = true;
    struct Case {
        int buttons;
        int click;
        int result;
    };
    for (const Case c : {Case{core::kTaskYes | core::kTaskNo, IDYES, IDYES},
                         Case{core::kTaskOk | core::kTaskClose, IDCLOSE, IDABORT}}) {
        std::wstring seen;
        std::thread answerer([&seen, click = c.click] {
            HWND dialog = testing_support::WaitForDialogOf(GetCurrentProcessId(), 10000);
            if (!dialog) return;
            seen = testing_support::DialogText(dialog);
            PostMessageW(dialog, TDM_CLICK_BUTTON, static_cast<WPARAM>(click), 0);
        });
        const int result = core::ShowTaskDialog(nullptr, L"Zarvo", L"Remove it?", L"Only the shortcut goes.",
                                                c.buttons, core::kIconInformation);
        answerer.join();
        EXPECT_EQ(result, c.result);
        EXPECT_NE(seen.find(L"Remove it?"), std::wstring::npos) << seen;
        EXPECT_NE(seen.find(L"Only the shortcut goes."), std::wstring::npos) << seen;
    }
}

TEST_F(DeleteItemTest, BeforeVistaTheTaskDialogIsAMessageBoxThatStillAsksTheQuestion) {
    AnswerBoxes(IDNO);
    EXPECT_EQ(core::ShowTaskDialog(nullptr, L"Zarvo", L"Remove it?", L"Only the shortcut goes.",
                                   core::kTaskYes | core::kTaskNo, core::kIconInformation),
              IDNO);
    ASSERT_TRUE(lastBox);
    EXPECT_EQ(lastBox->text, L"Remove it?\n\nOnly the shortcut goes.");
    EXPECT_EQ(lastBox->caption, L"Zarvo");
    EXPECT_EQ(lastBox->type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
}

}  // namespace
