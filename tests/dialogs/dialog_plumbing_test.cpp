// The dialogs' plumbing that needs no shown window: glyph buttons, the program's icon
// groups and the phone book's entry list.
#include "dialogs/choosers.h"
#include "support/tooltip_text.h"
#include "ui/controls.h"
#include "ui/glyph_button.h"
#include "ui/handles.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <ras.h>
#include <raserror.h>
// ras.h maps RasEnumEntries to RasEnumEntriesW, the chooser table's member included.
#undef RasEnumEntries
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::TooltipText;

// A hidden top-level window to hold the buttons: nothing here is shown.
class HiddenHost {
public:
    HiddenHost() {
        hwnd_.Reset(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
    }
    HWND Handle() const { return hwnd_.Get(); }

private:
    ui::UniqueWindow hwnd_;
};

HWND MakeButton(HWND parent, ui::Glyph glyph, const wchar_t* caption) {
    ui::ControlLayout layout;
    layout.text = caption;
    layout.x = 10;
    layout.y = 10;
    layout.width = 89;
    layout.height = 29;
    layout.id = IDOK;
    return ui::CreateGlyphButton(parent, layout, glyph);
}

BUTTON_IMAGELIST ImageListOf(HWND button) {
    BUTTON_IMAGELIST list{};
    SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
    return list;
}

// A 16 x 16 top-down 32-bit DIB filled with one value, in a memory DC.
class Canvas {
public:
    Canvas(int side, BYTE fill) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        std::memset(bits, fill, static_cast<size_t>(side) * side * 4);
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Canvas() { SelectObject(dc_.Get(), old_); }
    HDC Dc() const { return dc_.Get(); }

private:
    ui::UniqueDc dc_;
    ui::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

// Whether the image list draws the glyph's pixel (x, y) as clear: black stays black
// and white stays white under it.
bool GlyphPixelIsClear(HIMAGELIST list, int x, int y) {
    COLORREF seen[2];
    for (int i = 0; i < 2; ++i) {
        Canvas canvas(16, i == 0 ? 0x00 : 0xFF);
        ImageList_Draw(list, 0, canvas.Dc(), 0, 0, ILD_NORMAL);
        seen[i] = GetPixel(canvas.Dc(), x, y);
    }
    return seen[0] == RGB(0, 0, 0) && seen[1] == RGB(255, 255, 255);
}

TEST(GlyphButton, CarriesOneGlyphOfSixteenPixelsLeftOfItsCaption) {
    HiddenHost host;
    for (ui::Glyph glyph : {ui::Glyph::Ok, ui::Glyph::Cancel}) {
        HWND button = MakeButton(host.Handle(), glyph, L"OK");
        const BUTTON_IMAGELIST list = ImageListOf(button);
        ASSERT_NE(list.himl, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(list.himl), 1);
        int width = 0, height = 0;
        ImageList_GetIconSize(list.himl, &width, &height);
        EXPECT_EQ(width, 16);
        EXPECT_EQ(height, 16);
        EXPECT_EQ(list.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_LEFT));
        // The glyph keeps its alpha: the corner is clear, the middle stroke is not.
        EXPECT_TRUE(GlyphPixelIsClear(list.himl, 0, 0));
        EXPECT_FALSE(GlyphPixelIsClear(list.himl, 8, 8));
        EXPECT_EQ(ui::ControlText(button), L"OK");
        EXPECT_FALSE(ui::GlyphOnly(button));
        EXPECT_EQ(ui::GlyphButtonTooltip(button), nullptr);
        DestroyWindow(button);
    }
}

TEST(GlyphButton, GlyphOnlyMovesTheCaptionToTheTooltipAndBack) {
    HiddenHost host;
    HWND button = MakeButton(host.Handle(), ui::Glyph::Cancel, L"Cancel");

    ui::SetGlyphOnly(button, true);
    EXPECT_TRUE(ui::GlyphOnly(button));
    EXPECT_EQ(ui::ControlText(button), L"");
    EXPECT_EQ(TooltipText(button), L"Cancel");
    EXPECT_EQ(GetWindow(ui::GlyphButtonTooltip(button), GW_OWNER), host.Handle());
    EXPECT_EQ(ImageListOf(button).uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));

    // A caption set meanwhile (a language file) goes to the tooltip, not the face.
    ui::SetControlText(button, L"Abbrechen");
    EXPECT_EQ(ui::ControlText(button), L"");
    EXPECT_EQ(TooltipText(button), L"Abbrechen");

    ui::SetGlyphOnly(button, true);  // again: no change, the caption is not lost
    EXPECT_EQ(TooltipText(button), L"Abbrechen");

    ui::SetGlyphOnly(button, false);
    EXPECT_FALSE(ui::GlyphOnly(button));
    EXPECT_EQ(ui::ControlText(button), L"Abbrechen");
    EXPECT_EQ(ImageListOf(button).uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_LEFT));
    ui::SetControlText(button, L"Cancel");
    EXPECT_EQ(ui::ControlText(button), L"Cancel");
}

TEST(GlyphButton, PlainButtonsIgnoreGlyphOnly) {
    HiddenHost host;
    ui::ControlLayout layout;
    layout.className = L"BUTTON";
    layout.text = L"Apply";
    layout.width = 80;
    layout.height = 24;
    HWND button = ui::CreateControl(host.Handle(), layout);
    ui::SetGlyphOnly(button, true);
    EXPECT_FALSE(ui::GlyphOnly(button));
    EXPECT_EQ(ui::ControlText(button), L"Apply");
}

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The colour of a 32-pixel icon's pixel, drawn on white.
COLORREF IconPixel(HICON icon, int x, int y) {
    Canvas canvas(32, 0xFF);
    DrawIconEx(canvas.Dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    return GetPixel(canvas.Dc(), x, y);
}

TEST(ProgramIcons, FiveGroupsInTheOrderTheDialogCountsThem) {
    const std::wstring exe = ModulePath();
    EXPECT_EQ(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 5u);
    // One at a time: Wine's ExtractIconExW fills only the first of several handles.
    std::vector<HICON> icons(5);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(ExtractIconExW(exe.c_str(), i, &icons[i], nullptr, 1), 1u);
    // Each group's tile colour left of its white symbol: the program icon is blue,
    // group 1 orange, then Shutdown red, Restart green, Log Out blue.
    struct Expect { int index; int red, green, blue; };
    const Expect expected[] = {
        {0, 45, 136, 203}, {1, 232, 121, 41}, {2, 204, 54, 54}, {3, 66, 168, 74}, {4, 56, 115, 212}};
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.index);
        ASSERT_NE(icons[e.index], nullptr);
        const COLORREF c = IconPixel(icons[e.index], 3, 16);
        EXPECT_NEAR(GetRValue(c), e.red, 25);
        EXPECT_NEAR(GetGValue(c), e.green, 25);
        EXPECT_NEAR(GetBValue(c), e.blue, 25);
    }
    for (HICON icon : icons)
        if (icon) DestroyIcon(icon);
    HICON none = nullptr;
    EXPECT_EQ(ExtractIconExW(exe.c_str(), 5, &none, nullptr, 1), 0u);
}

// The phone book through the seam: each call is recorded and answered by a script.
class PhoneBook : public ::testing::Test {
protected:
    struct Call {
        DWORD bytes;
        DWORD firstSize;
        DWORD secondSize;  // 0 when the buffer holds one record
    };
    using Answer = std::function<DWORD(RASENTRYNAMEW* records, DWORD* bytes, DWORD* entries)>;

    void Answers(std::vector<Answer> answers) {
        answers_ = std::move(answers);
        dialogs::ChooserFunctions functions;
        functions.RasEnumEntries = [this](void* buffer, DWORD* bytes, DWORD* entries) -> DWORD {
            auto* records = static_cast<RASENTRYNAMEW*>(buffer);
            calls.push_back({*bytes, records[0].dwSize,
                             *bytes >= 2 * sizeof(RASENTRYNAMEW) ? records[1].dwSize : 0});
            if (calls.size() > answers_.size()) return ERROR_INVALID_PARAMETER;
            return answers_[calls.size() - 1](records, bytes, entries);
        };
        dialogs::SetChoosersForTests(std::move(functions));
    }
    void TearDown() override { dialogs::ResetChoosers(); }

    static Answer TooSmall(DWORD needed) {
        return [needed](RASENTRYNAMEW*, DWORD* bytes, DWORD* entries) -> DWORD {
            *bytes = needed;
            *entries = needed / sizeof(RASENTRYNAMEW);
            return ERROR_BUFFER_TOO_SMALL;
        };
    }
    static Answer Names(std::vector<std::wstring> names, DWORD reportedCount) {
        return [names, reportedCount](RASENTRYNAMEW* records, DWORD*, DWORD* entries) -> DWORD {
            for (size_t i = 0; i < names.size(); ++i) wcscpy_s(records[i].szEntryName, names[i].c_str());
            *entries = reportedCount;
            return 0;
        };
    }

    std::vector<Call> calls;
    std::vector<std::wstring> names{L"left over"};

private:
    std::vector<Answer> answers_;
};

constexpr DWORD kRecord = sizeof(RASENTRYNAMEW);

TEST_F(PhoneBook, ABookOfTwoIsReadOnTheSecondCallAtTheReportedSize) {
    Answers({TooSmall(2 * kRecord), Names({L"Home", L"Work"}, 2)});
    EXPECT_TRUE(dialogs::PhoneBookEntries(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Home", L"Work"}));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].bytes, kRecord);
    EXPECT_EQ(calls[0].firstSize, kRecord);
    EXPECT_EQ(calls[1].bytes, 2 * kRecord);
    EXPECT_EQ(calls[1].firstSize, kRecord);
    EXPECT_EQ(calls[1].secondSize, 0u);  // the grown buffer was zeroed
}

TEST_F(PhoneBook, AnyOtherErrorGivesFalseAndNoNames) {
    struct Case {
        const char* name;
        std::vector<Answer> answers;
    };
    const Answer fails = [](RASENTRYNAMEW*, DWORD*, DWORD*) -> DWORD { return ERROR_INVALID_SIZE; };
    const Case cases[] = {
        {"an error on the first call", {fails}},
        {"an error on the second call", {TooSmall(3 * kRecord), fails}},
        {"too small once more", {TooSmall(2 * kRecord), TooSmall(4 * kRecord)}},
        {"a size beyond reason", {TooSmall(0xFFFFFFF0u)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calls.clear();
        names = {L"left over"};
        Answers(c.answers);
        EXPECT_FALSE(dialogs::PhoneBookEntries(names));
        EXPECT_TRUE(names.empty());
        EXPECT_LE(calls.size(), 2u);
    }
}

TEST_F(PhoneBook, TheNamesTakenAreBoundedByTheBuffer) {
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        size_t expected;
    };
    const Case cases[] = {
        {"an empty book", {Names({}, 0)}, 0},
        {"one entry in the first record", {Names({L"Dial"}, 1)}, 1},
        {"a count beyond the one record", {Names({L"Dial"}, 50)}, 1},
        {"a count beyond the grown buffer", {TooSmall(2 * kRecord), Names({L"A", L"B"}, 1000)}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calls.clear();
        Answers(c.answers);
        EXPECT_TRUE(dialogs::PhoneBookEntries(names));
        EXPECT_EQ(names.size(), c.expected);
    }
}

TEST_F(PhoneBook, ANameWithoutItsEndIsCutAt256Characters) {
    Answers({[](RASENTRYNAMEW* records, DWORD*, DWORD* entries) -> DWORD {
        std::fill(std::begin(records[0].szEntryName), std::end(records[0].szEntryName), L'x');
        *entries = 1;
        return 0;
    }});
    EXPECT_TRUE(dialogs::PhoneBookEntries(names));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::wstring(256, L'x'));
}

TEST(PhoneBookUnderWine, TheRealBookIsEmpty) {
    dialogs::ResetChoosers();
    ASSERT_TRUE(dialogs::Choosers().RasEnumEntries);  // rasapi32 is there
    std::vector<std::wstring> names{L"left over"};
    EXPECT_TRUE(dialogs::PhoneBookEntries(names));
    EXPECT_TRUE(names.empty());
}

}  // namespace
