// The properties dialog's pictures and outside answers: the icon preview, dropped
// files, the file and icon choosers, the phone book and the glass of its lower band.
#include "form4_fixture.h"

#include "core/path_macros.h"
#include "core/startup.h"
#include "render/item_icons.h"
#include "support/pixels.h"
#include "support/png_file.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace dialogs;
using properties::Item;
using properties::Link;
using properties::Menu;

constexpr std::uint32_t kRed = 0xFFFF0000;

// What the preview shows for an icon of ours: the icon drawn on button face.
std::vector<std::uint32_t> OwnDrawing(HICON icon) {
    ui::Dib dib(kPreviewSize, kPreviewSize);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    dib.Fill(0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
    {
        Gdiplus::Graphics surface(&dib.AsGdiplus());
        core::IconToBitmap(icon, 0, surface);
    }
    return {dib.Bits(), dib.Bits() + kPreviewSize * kPreviewSize};
}
std::vector<std::uint32_t> Pixels(const ui::Dib& dib) { return {dib.Bits(), dib.Bits() + dib.Width() * dib.Height()}; }

class PropertiesIconTest : public PropertiesTest {
protected:
    std::uint32_t PreviewMiddle() { return Dialog().PreviewBitmap().Pixel(kPreviewSize / 2, kPreviewSize / 2); }
    std::wstring WritePng(const std::wstring& name, Gdiplus::ARGB color) {
        folder.WriteFile(name, testing_support::SolidPng(16, 16, color));
        return folder.PathOf(name);
    }
};

TEST_F(PropertiesIconTest, ThePreviewShowsPicturesIconsAndTheFallback) {
    StartWithMenu(Menu({Link("A", "a.exe")}));
    const std::wstring png = WritePng(L"red.png", kRed);
    const std::wstring capitals = WritePng(L"RED.PNG", kRed);
    folder.WriteFile(L"broken.png", "not a picture");
    const std::wstring shell32 = core::GetSystemDir() + L"shell32.dll";
    struct Case {
        std::wstring path;
        int index;
        bool picture;
        std::vector<std::uint32_t> expected;  // empty: a red picture
    };
    const Case cases[] = {
        {png, 0, true, {}},
        // Extensions are compared as written: this one goes to the shell.
        {capitals, 0, true, OwnDrawing(core::GetItemIcon(capitals, 0))},
        {shell32, 7, true, OwnDrawing(core::GetItemIcon(shell32, 7))},
        {folder.PathOf(L"missing.ico"), 0, false, OwnDrawing(core::GetItemIcon(shell32, 23))},
        {folder.PathOf(L"broken.png"), 0, false, OwnDrawing(core::GetItemIcon(shell32, 23))},
        {L"  ", 0, false, OwnDrawing(core::GetItemIcon(shell32, 23))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ui::WideToUtf8(c.path));
        EXPECT_EQ(Dialog().LoadIconPreview(c.path, c.index), c.picture);
        if (c.expected.empty()) {
            for (POINT p : {POINT{0, 0}, POINT{24, 24}, POINT{47, 47}})
                EXPECT_TRUE(testing_support::PixelNear(Dialog().PreviewBitmap().Pixel(p.x, p.y), kRed));
        } else {
            EXPECT_EQ(Pixels(Dialog().PreviewBitmap()), c.expected);
            EXPECT_FALSE(testing_support::PixelNear(PreviewMiddle(), kRed));
        }
    }
}

TEST_F(PropertiesIconTest, DropsOnThePreviewAndTheTargetAndNowhereElse) {
    StartWithMenu(Menu({Link("A", "a.exe")}));
    const std::wstring png = WritePng(L"red.png", kRed);
    folder.WriteFile(L"broken.png", "not a picture");
    folder.WriteFile(L"notes.txt", "text");
    const std::wstring target = folder.Path();
    SelectRows(1);
    EditSelected(1, {[&] {
                         const std::wstring icon = Dialog().IconFile;
                         // A file that is no picture, on the preview, and a drop on the
                         // lower band change nothing.
                         Drop(folder.PathOf(L"notes.txt"), Middle(kImage1));
                         Drop(png, {300, 240});
                         EXPECT_FALSE(Enabled(kButton3));
                         EXPECT_EQ(Dialog().IconFile, icon);
                         // A picture that does not decode is refused with a message.
                         const auto before = Pixels(Dialog().PreviewBitmap());
                         Drop(folder.PathOf(L"broken.png"), Middle(kImage1));
                         EXPECT_EQ(boxes.size(), 1u);
                         EXPECT_EQ(Dialog().IconFile, icon);
                         EXPECT_EQ(Pixels(Dialog().PreviewBitmap()), before);
                         EXPECT_FALSE(Enabled(kButton3));

                         Drop(png, Middle(kImage1));
                         EXPECT_EQ(Dialog().IconFile, png);
                         EXPECT_TRUE(testing_support::PixelNear(PreviewMiddle(), kRed));
                         EXPECT_TRUE(Enabled(kButton3));
                         Click(kButton3);
                     }});
    EXPECT_EQ(SavedFields({0}, {L"Run", L"Index"}), L"Run=a.exe Index=0");
    EXPECT_EQ(core::ExpandPathMacros(Saved({0})->Child(L"ImageFile").Text()), png);

    SelectRows(1);
    EditSelected(1, {[&] {
                         Drop(target, Middle(kEdit1));
                         EXPECT_EQ(Text(kEdit1), target);
                         EXPECT_EQ(Dialog().IconFile, target);
                         EXPECT_FALSE(testing_support::PixelNear(PreviewMiddle(), kRed));
                         Click(kButton3);
                     }});
    EXPECT_EQ(SavedFields({0}, {L"Run", L"Index"}), L"Run=" + target + L" Index=0");
    EXPECT_EQ(core::ExpandPathMacros(Saved({0})->Child(L"ImageFile").Text()), target);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(PropertiesIconTest, TheIconChooserChangesTheIconOnlyWhenConfirmed) {
    const std::wstring shell32 = core::GetSystemDir() + L"shell32.dll";
    std::wstring windows(MAX_PATH, L'\0');
    windows.resize(GetWindowsDirectoryW(windows.data(), MAX_PATH));
    struct Case {
        const char* name;
        std::wstring chosenFile;  // the file dialog's answer
        int answer;               // the icon chooser's
        std::wstring answerFile;
        std::wstring iconFile;  // the dialog's afterwards
        int iconIndex;
        bool asked;  // the icon chooser was shown
    };
    const Case cases[] = {
        {"confirmed", shell32, 1, shell32, shell32, 7, true},
        {"cancelled", shell32, 0, shell32, L"%SYSTEM%shell32.dll", 23, true},
        {"stub answer", shell32, -1, shell32, L"%SYSTEM%shell32.dll", 23, true},
        {"system root", shell32, 1, L"%SystemRoot%\\system32\\shell32.dll", windows + L"\\system32\\shell32.dll", 7,
         true},
        {"too long for the chooser", L"C:\\" + std::wstring(257, L'x') + L".dll", 1, shell32,
         L"%SYSTEM%shell32.dll", 23, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMenu(Menu({Item({{"Run", "a.exe"}, {"ImageFile", "%SYSTEM%shell32.dll"}, {"Index", "23"},
                                  {"Type", "0"}, {"Caption", "A"}})}));
        std::wstring startFolder;
        int startIndex = -99;
        bool asked = false;
        ChooserFunctions choosers;
        choosers.SelectFile = [&](HWND, const std::wstring& initial, const FileFilter&, std::wstring& file,
                                  bool& relative) {
            startFolder = initial;
            file = c.chosenFile;
            relative = false;
            return true;
        };
        choosers.PickIcon = [&](HWND, std::wstring& file, int& index) {
            asked = true;
            EXPECT_EQ(file, c.chosenFile);
            startIndex = index;
            file = c.answerFile;
            index = 7;
            return c.answer;
        };
        SetChoosersForTests(choosers);
        SelectRows(1);
        EditSelected(1, {[&] {
                             Click(kButton4);
                             EXPECT_EQ(Dialog().IconFile, c.iconFile);
                             EXPECT_EQ(Dialog().IconIndex, c.iconIndex);
                             EXPECT_EQ(Enabled(kButton3), c.iconIndex == 7);
                             Click(kButton6);
                         }});
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(boxes.size(), c.asked ? 0u : 1u);
        EXPECT_EQ(ui::IncludeTrailingBackslash(startFolder), core::SystemDir) << "starts in the icon's folder";
        if (c.asked) {
            EXPECT_EQ(startIndex, 23) << "starts at the item's icon";
        }
        core::DestroyForms();
    }
}

TEST_F(PropertiesIconTest, TheBrowseButtonChoosesATargetOnItsLeftAndOpensTheIconMenuOnItsRight) {
    StartWithMenu(Menu({Link("A", "C:\\tools\\old.exe")}));
    const std::wstring tool = folder.PathOf(L"Tool.exe");
    int asked = 0;
    std::wstring startFolder;
    ChooserFunctions choosers;
    choosers.SelectFile = [&](HWND, const std::wstring& initial, const FileFilter&, std::wstring& file,
                              bool& relative) {
        ++asked;
        if (asked == 1) startFolder = initial;
        file = tool;
        relative = asked == 2;  // "Use relative path" checked the second time
        return true;
    };
    SetChoosersForTests(choosers);
    // The icon menu is answered by its own loop: read it, then Esc.
    struct MenuSeen {
        std::wstring text;
        UINT state = 0;
    } seen;
    static MenuSeen* s_seen = nullptr;
    s_seen = &seen;
    const auto release = [this](int x) {
        SendMessageW(Control(kButton1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        SendMessageW(Control(kButton1), WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    };
    SelectRows(1);
    EditSelected(1, {[&] {
                         const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
                             HWND menu = FindWindowW(L"#32768", nullptr);
                             if (!menu || !IsWindowVisible(menu) || !s_seen->text.empty()) return;
                             auto handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                             const auto entry = menu_input::ReadMenuEntry(handle, 0);
                             s_seen->text = entry.text;
                             s_seen->state = entry.state;
                             PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                         });
                         release(25);
                         KillTimer(nullptr, timer);
                         EXPECT_EQ(asked, 0);
                         release(5);
                         EXPECT_EQ(Text(kEdit1), tool);
                         release(5);
                         Click(kButton3);
                     }});
    s_seen = nullptr;
    EXPECT_EQ(seen.text, L"Recently used");
    EXPECT_TRUE(seen.state & MFS_DISABLED);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(startFolder, L"C:\\tools\\");
    // The program folder lies on the tool's drive here.
    ASSERT_EQ(towupper(tool[0]), towupper(core::AppDir[0]));
    EXPECT_EQ(SavedFields({0}, {L"Run", L"Caption"}), L"Run=%DISK%" + tool.substr(2) + L" Caption=Tool");
}

TEST_F(PropertiesIconTest, DefaultIconRestoresTheKindsIconAndKeepsTheCaption) {
    const std::wstring shell32 = core::GetSystemDir() + L"shell32.dll";
    struct Case {
        const char* name;
        std::string item;
        std::wstring iconFile;
        int iconIndex;
    };
    const Case cases[] = {
        {"link", Item({{"Run", "a.exe"}, {"ImageFile", "%SYSTEM%shell32.dll"}, {"Index", "7"}, {"Type", "0"},
                       {"Caption", "A"}}),
         L"", 0},
        {"folder that is gone", Item({{"Run", "C:\\gone"}, {"ImageFile", "x.ico"}, {"Type", "1"}, {"Caption", "A"}}),
         shell32, 3},
        {"log out", Item({{"Run", "shutdown.exe"}, {"Params", "-l -t 00"}, {"ImageFile", "x.ico"}, {"Type", "3"},
                          {"Caption", "A"}}),
         ui::ModuleFileName(), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMenu(Menu({c.item}));
        SelectRows(1);
        EditSelected(1, {[&] {
                             Click(kButton5);
                             EXPECT_EQ(Dialog().IconFile, c.iconFile);
                             EXPECT_EQ(Dialog().IconIndex, c.iconIndex);
                             EXPECT_EQ(Text(kEdit2), L"A");
                             EXPECT_TRUE(Enabled(kButton3));
                             Click(kButton6);
                         }});
        core::DestroyForms();
    }
}

TEST_F(PropertiesIconTest, TheLanguagesTypeNamesReplaceAllButThePluginEntry) {
    StartWithMenu(Menu({Link("A", "a.exe")}));
    std::array<std::wstring, 14> names;
    for (size_t i = 0; i < names.size(); ++i) names[i] = L"T" + std::to_wstring(i);
    Dialog().SetTypeCaptions(names);
    HWND list = Control(kComboBox1);
    ASSERT_EQ(ui::ComboCount(list), kTypeListCount);
    EXPECT_EQ(ui::ComboItemText(list, 0), L"T0");
    EXPECT_EQ(ui::ComboItemText(list, 13), L"T13");
    EXPECT_EQ(ui::ComboItemText(list, kPluginType), std::wstring(TypeCaptions[kPluginType]));
}

// A phone book of these entries, told too small on the first call as the real one is.
// Its records are RasEnumEntriesW's: the size the caller set in the first one, the
// entry name in wide characters after it.
struct PhoneBook {
    static constexpr DWORD kTooSmall = 603;
    std::vector<std::wstring> names;
    DWORD error = 0;  // for every call
    int calls = 0;

    DWORD operator()(void* buffer, DWORD* bytes, DWORD* entries) {
        ++calls;
        if (error) return error;
        DWORD recordSize = 0;
        std::memcpy(&recordSize, buffer, sizeof(recordSize));
        if (recordSize <= sizeof(DWORD)) return 632;  // ERROR_INVALID_SIZE
        const DWORD needed = static_cast<DWORD>(names.size()) * recordSize;
        if (*bytes < needed) {
            *bytes = needed;
            return kTooSmall;
        }
        auto* records = static_cast<unsigned char*>(buffer);
        const size_t room = (recordSize - sizeof(DWORD)) / sizeof(wchar_t) - 1;
        for (size_t i = 0; i < names.size(); ++i) {
            unsigned char* record = records + i * recordSize;
            std::memcpy(record, &recordSize, sizeof(recordSize));
            std::wstring name = names[i].substr(0, room);
            name.push_back(L'\0');
            std::memcpy(record + sizeof(DWORD), name.c_str(), name.size() * sizeof(wchar_t));
        }
        *entries = static_cast<DWORD>(names.size());
        return 0;
    }
};

TEST_F(PropertiesIconTest, ADialUpConnectionIsChosenFromThePhoneBookAndReopensSelected) {
    StartWithMenu(Menu({Link("A", "a.exe")}));
    auto book = std::make_shared<PhoneBook>();
    book->names = {L"Home", L"Work"};
    ChooserFunctions choosers;
    choosers.RasEnumEntries = [book](void* buffer, DWORD* bytes, DWORD* entries) {
        return (*book)(buffer, bytes, entries);
    };
    SetChoosersForTests(choosers);
    SelectRows(1);
    EditSelected(1, {[&] {
                         Pick(kComboBox1, kConnectionType);
                         EXPECT_EQ(ui::ComboCount(Control(kSysBox)), 2);
                         EXPECT_EQ(book->calls, 2) << "asked again at the size it reported";
                         Pick(kSysBox, 1);
                         EXPECT_EQ(Text(kEdit2), L"Work");
                         Click(kButton3);
                     }});
    EXPECT_EQ(SavedFields({0}, {L"Type", L"Run", L"Params", L"Caption"}),
              L"Type=5 Run=rasphone.exe Params=-d \"Work\" Caption=Work");
    std::wstring reopened;
    SelectRows(1);
    EditSelected(1, {[&] {
                         reopened = ui::ComboItemText(Control(kSysBox), Index(kSysBox));
                         Click(kButton6);
                     }});
    EXPECT_EQ(reopened, L"Work");
    EXPECT_TRUE(boxes.empty());

    // Any other error gives the message and a list of the item's own connection only,
    // so its other values can still be saved.
    book->error = 600;  // ERROR_CANNOT_OPEN_PHONEBOOK
    SelectRows(1);
    EditSelected(1, {[&] {
                         EXPECT_EQ(ui::ComboCount(Control(kSysBox)), 1);
                         EXPECT_EQ(ui::ComboItemText(Control(kSysBox), Index(kSysBox)), L"Work");
                         SetText(kEdit2, L"Still saved");
                         Click(kButton3);
                     }});
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Sorry, error in RasEnumEntries function."}));
    EXPECT_EQ(SavedFields({0}, {L"Type", L"Params", L"Caption"}), L"Type=5 Params=-d \"Work\" Caption=Still saved");
}

TEST_F(PropertiesIconTest, ActivationExtendsTheGlassIntoTheBottomBand) {
    StartWithMenu(Menu({Link("A", "a.exe")}));
    core::VistaOrLater = true;
    std::vector<std::pair<HWND, core::Margins>> extended;
    core::SetDwmLoaderForTests([&]() -> std::optional<core::DwmSession> {
        core::DwmSession session;
        session.functions.IsCompositionEnabled = [](BOOL* enabled) {
            *enabled = TRUE;
            return S_OK;
        };
        session.functions.ExtendFrameIntoClientArea = [&](HWND hwnd, const core::Margins& margins) {
            extended.emplace_back(hwnd, margins);
            return S_OK;
        };
        return session;
    });
    SelectRows(1);
    EditSelected(1, {[&] { Click(kButton6); }});
    ASSERT_FALSE(extended.empty());
    EXPECT_EQ(extended.front().first, Dialog().Handle());
    const core::Margins m = extended.front().second;
    EXPECT_EQ((std::vector<int>{m.Left, m.Top, m.Right, m.Bottom}), (std::vector<int>{0, 0, 0, 50}));
}

}  // namespace
