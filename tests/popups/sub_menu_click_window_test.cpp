// A click and a double click on the rows of the sub-menu windows: what each Type
// does on levels 2 and 3 under either DoubleClickRun, the guards, the quick-run box,
// the properties for a row without a target, a scrolled listing, the listing of a
// sub-folder in place, and the roll-out after a launch.
#include "core/menu_input_fixture.h"

#include "core/launch.h"
#include "core/motion.h"
#include "dialogs/edit_box.h"
#include "core/weather.h"
#include "popups/form2.h"
#include "support/http_server.h"
#include "support/png_file.h"
#include "support/scoped_environment.h"
#include "ui/strings.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using menu_input::Row;

// What the click path handed to the shell, from whatever thread it ran on.
struct ShellLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<core::ShellCall> launches;
    int beeps = 0;

    bool WaitForEvents(size_t count, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return launches.size() + beeps >= count; });
    }
    std::vector<core::ShellCall> Take() {
        std::lock_guard lock(mutex);
        std::vector<core::ShellCall> taken = std::move(launches);
        launches.clear();
        beeps = 0;
        return taken;
    }
};

// Held by the functions as well: a worker may still be returning when the test ends.
core::ShellFunctions Recording(const std::shared_ptr<ShellLog>& log) {
    core::ShellFunctions shell;
    shell.execute = [log](const core::ShellCall& call) {
        std::lock_guard lock(log->mutex);
        log->launches.push_back(call);
        log->changed.notify_all();
    };
    shell.beep = [log] {
        std::lock_guard lock(log->mutex);
        ++log->beeps;
        log->changed.notify_all();
    };
    shell.playSound = [](const std::wstring&) {};
    return shell;
}

// A launch started wrongly arrives within this.
constexpr auto kNothingComes = 300ms;

// The menu file with Params and RunVis added to the row of that caption.
void AddLaunchFields(std::string& xml, const std::string& caption, const std::string& params, int runVis) {
    const std::string tag = "<Caption>" + caption + "</Caption>";
    const size_t at = xml.find(tag);
    ASSERT_NE(at, std::string::npos) << caption;
    xml.insert(at + tag.size(), "<Params>" + params + "</Params><RunVis>" + std::to_string(runVis) + "</RunVis>");
}

// prefix + i, built without operator+ on a literal, which GCC 12 warns about wrongly.
std::string Numbered(const char* prefix, int i) {
    std::string text(prefix);
    text += std::to_string(i);
    return text;
}

std::string Named(const char* prefix, int level, int type) {
    std::string name(prefix);
    name += std::to_string(level);
    name += "t";
    name += std::to_string(type);
    return name;
}

class SubMenuClickTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        GetAsyncKeyState(VK_LBUTTON);
        core::SetMotionClockForTests(nullptr, [](int) {});
        core::SetShellForTests(Recording(log));
        core::SetPropertiesDialogForTests([this](int level) { propertiesOpened.push_back(level); });
    }
    void TearDown() override {
        ui::Application::Instance().ProcessMessages();
        core::WaitForLaunches(5000);
        core::PopupMode = false;
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SetShellForTests(std::nullopt);
        core::SetPropertiesDialogForTests(nullptr);
        MenuInputTest::TearDown();
    }

    void StartWithXml(const std::string& xml) {
        folder.WriteFile(L"1.xml", xml);
        boxes.clear();
        Start();
        ASSERT_TRUE(boxes.empty()) << "the menu did not build";
        Main().Settings.RollOutAfterRun = 0;
        SetCursorPos(1100, 950);
    }

    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }
    popups::TForm2& Window(int level) { return level == 2 ? Form2() : static_cast<popups::TForm2&>(Form3()); }

    // Client y a little below the top of visible row `row` (1-based) when every row
    // above is a full one: inside a separator's band too.
    int SubRowY(int level, int row) const {
        const core::SkinMetrics& skin = Main().Skin;
        const int band = Main().ScrollMode[level] ? skin.ItemSize : 0;
        return skin.HeaderSize + band + skin.ItemSize * (row - 1) + 3;
    }
    // Closes the sub-menus by pointing at the main window's header.
    void CloseSubMenus() { Main().FormMouseMove(0, 10, 2); }
    // Level 2 of main row `mainRow`, and level 3 of its row `groupRow` when given.
    void Open(int mainRow, int groupRow = 0) {
        Hover(mainRow);
        ASSERT_TRUE(Form2().Visible());
        if (groupRow == 0) return;
        Form2().FormMouseMove(0, 10, SubRowY(2, groupRow));
        ASSERT_TRUE(Form3().Visible());
    }
    // Row `row` (1-based) of the level selected, with the pointer on it.
    void PointAt(int level, int row) {
        popups::TForm2& window = Window(level);
        window.FormMouseMove(0, 10, SubRowY(level, row));
        ASSERT_EQ(Main().SelectedIndex[level], row);
        SetCursorPos(window.Left() + 10, window.Top() + SubRowY(level, row));
    }
    void ClickAt(int level, int row, bool doubleClick) {
        PointAt(level, row);
        if (doubleClick) Window(level).FormDblClick();
        else Window(level).FormClick();
    }

    std::shared_ptr<ShellLog> log = std::make_shared<ShellLog>();
    std::vector<int> propertiesOpened;
};

// --- the table over Type, level and DoubleClickRun

struct TypeCase {
    int type;
    bool clickLaunchesOnLevel2, clickLaunchesOnLevel3, doubleClickLaunches;
};
const TypeCase kTypes[] = {
    {0, true, true, true},     {1, true, true, true},   {3, true, true, true},  {4, true, true, true},
    {5, true, true, true},     {55, true, true, true},
    {7, false, true, false},   // weather: refreshed on level 2, a plain row on level 3
    {11, false, false, false},  // plug-in: handed over on every level
    {2, false, false, false},  {777, false, false, false},
};

// Level 2 and the group of level 3 hold a row of every Type of the table in its
// order, the separator last so every row above is a full one; level 2's group row
// is the one that opens level 3.
std::string TypeMenu() {
    auto rowsOf = [](int level) {
        std::vector<Row> rows;
        for (const TypeCase& c : kTypes) {
            const std::string name = Named("L", level, c.type);
            if (c.type == 777) rows.emplace_back(777, name);
            else if (c.type == 2 && level == 2) continue;
            else if (c.type == 2) rows.emplace_back(2, name, "", "", "", std::vector<Row>{Row(0, "inner", "C:\\in")});
            else if (c.type == 7) rows.emplace_back(7, name, "72");
            else if (c.type == 11) rows.emplace_back(11, name, "none.dll");
            else rows.emplace_back(c.type, name, "C:\\none\\" + name);
        }
        return rows;
    };
    std::vector<Row> level2 = rowsOf(2);
    level2.insert(level2.end() - 1, Row(2, "L2t2", "", "", "", rowsOf(3)));
    std::string xml = menu_input::MenuXml({Row(2, "G", "", "", "", level2)});
    for (int level : {2, 3})
        for (const TypeCase& c : kTypes)
            if (c.type != 2 && c.type != 777)
                AddLaunchFields(xml, Named("L", level, c.type), Numbered("-p", c.type), c.type == 0 ? 2 : 1);
    return xml;
}

int RowOf(int type) {
    for (size_t i = 0; i < std::size(kTypes); ++i)
        if (kTypes[i].type == type) return static_cast<int>(i) + 1;
    return 0;
}

TEST_F(SubMenuClickTest, EachTypeLaunchesOnTheClickDoubleClickRunChoosesWithItsShowCommandAndParameters) {
    StartWithXml(TypeMenu());
    struct Mode {
        const char* name;
        std::uint8_t doubleClickRun;
        bool doubleClick;
    };
    const Mode modes[] = {{"click", 0, false},
                          {"click with DoubleClickRun 1", 1, false},
                          {"double click", 1, true},
                          {"double click with DoubleClickRun 0", 0, true}};
    for (int level : {2, 3}) {
        for (const Mode& mode : modes) {
            SCOPED_TRACE(testing::Message() << mode.name << " on level " << level);
            Main().Settings.DoubleClickRun = mode.doubleClickRun;
            Open(1, level == 3 ? RowOf(2) : 0);
            std::set<std::wstring> expected;
            for (const TypeCase& c : kTypes) {
                ClickAt(level, RowOf(c.type), mode.doubleClick);
                const bool launches = mode.doubleClick ? c.doubleClickLaunches
                                      : level == 2     ? c.clickLaunchesOnLevel2
                                                       : c.clickLaunchesOnLevel3;
                if (launches && (mode.doubleClickRun == 1) == mode.doubleClick)
                    expected.insert(ui::Utf8ToWide(Named("L", level, c.type)));
            }
            ASSERT_TRUE(log->WaitForEvents(expected.size()));
            log->WaitForEvents(expected.size() + 1, kNothingComes);
            std::set<std::wstring> launched;
            for (const core::ShellCall& call : log->Take()) {
                const size_t t = call.parameters.find(L"-p");
                ASSERT_NE(t, std::wstring::npos) << call.file;
                const int type = std::stoi(call.parameters.substr(t + 2));
                const std::wstring name = ui::Utf8ToWide(Named("L", level, type));
                launched.insert(name);
                EXPECT_EQ(call.file, type == 7 ? L"72" : L"C:\\none\\" + name);
                const int show = type == 4 ? SW_SHOWNORMAL : type == 0 ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
                EXPECT_EQ(call.show, show) << name << ": RunVis + 1, and normal for a system tool";
            }
            EXPECT_EQ(launched, expected);
            EXPECT_TRUE(propertiesOpened.empty());
            CloseSubMenus();
        }
    }
}

TEST_F(SubMenuClickTest, HeaderClicksDragsAndRowsOutsideTheGroupLaunchNothing) {
    StartWithXml(TypeMenu());
    core::TForm1& m = Main();
    for (int level : {2, 3}) {
        SCOPED_TRACE(level);
        Open(1, level == 3 ? RowOf(2) : 0);
        popups::TForm2& window = Window(level);
        PointAt(level, 1);
        // The header's last line, for the click and the double click.
        SetCursorPos(window.Left() + 10, window.Top() + m.Skin.HeaderSize);
        m.Settings.DoubleClickRun = 0;
        window.FormClick();
        m.Settings.DoubleClickRun = 1;
        window.FormDblClick();
        m.Settings.DoubleClickRun = 0;
        SetCursorPos(window.Left() + 10, window.Top() + SubRowY(level, 1));
        for (int selected : {-1, 0, window.RowCount + 1}) {
            m.SelectedIndex[level] = selected;
            window.FormClick();
        }
        m.SelectedIndex[level] = 1;
        m.Dragging = true;
        window.FormClick();
        EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));

        m.Dragging = false;
        window.FormClick();  // the same row, a plain click now
        ASSERT_TRUE(log->WaitForEvents(1));
        EXPECT_EQ(log->Take().size(), 1u);
        CloseSubMenus();
    }
}

// The plug-in rows' calls are the host's tests; a row naming no loaded library
// launches nothing and leaves its node alone.
TEST_F(SubMenuClickTest, PluginRowsNamingNoLoadedLibraryLaunchNothingAndStayAsTheyAre) {
    StartWithXml(TypeMenu());
    core::TForm1& m = Main();
    m.Settings.DoubleClickRun = 0;
    for (int level : {2, 3}) {
        SCOPED_TRACE(level);
        Open(1, level == 3 ? RowOf(2) : 0);
        const std::string menu = folder.ReadFile(L"1.xml");  // with the IDs the opening gave
        ClickAt(level, RowOf(11), false);
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        EXPECT_FALSE(m.PluginBusy);
        EXPECT_TRUE(Window(level).Visible());
        CloseSubMenus();
    }
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
}

// A weather row of level 2 writes its own node, and the row of the main window
// that opened the sub-menu stays as it is.
TEST_F(SubMenuClickTest, AWeatherRowOfTheFirstSubMenuWritesItsOwnNodeFromTheService) {
    folder.WriteFile(L"weather\\26.png", testing_support::SolidPng(4, 4, 0xFF2080C0));
    testing_support::HttpServer server({testing_support::OkReply(
        "<weather><cc><tmp>19</tmp><icon>26</icon></cc></weather>")});
    const testing_support::ScopedEnvironment host(L"ZARVO_WEATHER_HOST", ui::Utf8ToWide(server.HostPort()).c_str());
    StartWithXml(menu_input::MenuXml({Row(2, "G", "", "", "", {Row(0, "A", "C:\\a.exe"), Row(7, "W", "old")}),
                                      Row(7, "Main", "main")}));
    Main().Settings.DoubleClickRun = 0;
    Main().Settings.DegreeType = 1;
    Open(1);
    ClickAt(2, 2, false);

    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_TRUE(boxes.empty());
    ui::XmlDocument document;
    std::optional<ui::XmlNode> row = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {0, 1});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Child(L"Run").Text(), L"19");
    EXPECT_EQ(row->Child(L"Caption").Text(), L"19\u00B0C");
    EXPECT_EQ(row->Child(L"ImageFile").Text(), folder.Path() + L"weather\\26.png");
    EXPECT_EQ(Main().ItemLists[2][1].Caption, L"19\u00B0C") << "level 2 is rebuilt";
    std::optional<ui::XmlNode> main = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {1});
    ASSERT_TRUE(main);
    EXPECT_EQ(main->Child(L"Run").Text(), L"main");
    EXPECT_TRUE(core::WaitForWeatherWorkers(5000));
}

// --- the quick-run box

struct RunBoxSeen {
    int shown = 0;
    bool runBoxOpen = false, showHoverIcon = true, timer1 = true;
    RECT box{};
    int tag = 0;
};
RunBoxSeen* seen = nullptr;

void CALLBACK LookAtRunBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!seen || !core::EditBox->Visible()) return;
    auto& main = *core::Form1;
    ++seen->shown;
    seen->runBoxOpen = main.Compositor.RunBoxOpen;
    seen->showHoverIcon = main.Compositor.ShowHoverIcon;
    seen->timer1 = main.TimerRunning(core::TForm1::kTimer1);
    GetWindowRect(core::EditBox->Handle(), &seen->box);
    seen->tag = core::EditBox->Tag;
    core::EditBox->Close();
}

TEST_F(SubMenuClickTest, QuickRunRowsOpenTheBoxOverTheirOwnLevelsRowsOnlyOnAClick) {
    StartWith({Row(2, "G", "", "", "",
                   {Row(0, "a", "C:\\a"), Row(0, "b", "C:\\b"), Row(6, "Q", "1"),
                    Row(2, "H", "", "", "", {Row(0, "x", "C:\\x"), Row(6, "Q3", "0")})})});
    core::TForm1& m = Main();
    m.Settings.RollOutAfterRun = 0;
    struct Case {
        int level, row;
    };
    for (const Case c : {Case{2, 3}, Case{3, 2}}) {
        SCOPED_TRACE(c.level);
        for (std::uint8_t doubleClickRun : {0, 1}) {
            m.Settings.DoubleClickRun = doubleClickRun;
            Open(1, c.level == 3 ? 4 : 0);
            RunBoxSeen look;
            seen = &look;
            const UINT_PTR timer = SetTimer(nullptr, 0, 1, &LookAtRunBox);
            ClickAt(c.level, c.row, false);
            ClickAt(c.level, c.row, true);
            ui::Application::Instance().ProcessMessages();
            KillTimer(nullptr, timer);
            seen = nullptr;
            if (doubleClickRun == 1) {
                EXPECT_EQ(look.shown, 0) << "with DoubleClickRun 1 neither click opens it";
                CloseSubMenus();
                continue;
            }
            const popups::TForm2& window = Window(c.level);
            EXPECT_EQ(look.shown, 1);
            EXPECT_EQ(look.tag, c.level);
            EXPECT_TRUE(look.runBoxOpen);
            EXPECT_FALSE(look.showHoverIcon);
            EXPECT_FALSE(look.timer1);
            EXPECT_EQ(look.box.left, window.Left());
            EXPECT_EQ(look.box.top, window.Top() + m.Skin.HeaderSize);
            EXPECT_EQ(look.box.bottom - look.box.top, c.row * m.Skin.ItemSize) << "down to the clicked row's bottom";
            EXPECT_FALSE(m.Compositor.RunBoxOpen);
            EXPECT_TRUE(m.Compositor.ShowHoverIcon);
            EXPECT_TRUE(m.TimerRunning(core::TForm1::kTimer1));
            CloseSubMenus();
        }
    }
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes)) << "a quick-run row is never launched";
}

// --- rows without a target

TEST_F(SubMenuClickTest, FilesAndFoldersWithoutATargetOpenTheirLevelsPropertiesOtherTypesBeep) {
    StartWith({Row(2, "G", "", "", "",
                   {Row(0, "e0"), Row(1, "e1"), Row(3, "e3"), Row(2, "H", "", "", "", {Row(0, "f0"), Row(1, "f1")})})});
    core::TForm1& m = Main();
    m.Settings.RollOutAfterRun = 0;
    struct Case {
        int level, row;
        bool properties;
    };
    for (const Case c : {Case{2, 1, true}, Case{2, 2, true}, Case{2, 3, false}, Case{3, 1, true}, Case{3, 2, true}}) {
        for (std::uint8_t doubleClickRun : {0, 1}) {
            SCOPED_TRACE(testing::Message() << c.level << " row " << c.row << " " << int(doubleClickRun));
            propertiesOpened.clear();
            m.Settings.DoubleClickRun = doubleClickRun;
            Open(1, c.level == 3 ? 4 : 0);
            ClickAt(c.level, c.row, doubleClickRun == 1);
            if (c.properties) {
                EXPECT_EQ(propertiesOpened, std::vector<int>{c.level});
                EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
            } else {
                EXPECT_TRUE(propertiesOpened.empty());
                ASSERT_TRUE(log->WaitForEvents(1));
                EXPECT_TRUE(log->Take().empty()) << "the one event is the beep";
            }
            CloseSubMenus();
        }
    }
}

// --- listings

TEST_F(SubMenuClickTest, InAScrolledListingRowThreeLaunchesEntrySevenWithItsParameters) {
    core::SetKeepListingsForTests(true);  // the listings are written here
    std::vector<Row> entries;
    for (int i = 0; i < 16; ++i) entries.emplace_back(55, Numbered("e", i), Numbered("C:\\none\\e", i));
    std::string xml = menu_input::MenuXml({Row(1, "Listing", "C:\\", "", "1", entries)});
    for (int i = 0; i < 16; ++i) AddLaunchFields(xml, Numbered("e", i), Numbered("-e", i), i == 7 ? 2 : 0);
    StartWithXml(xml);
    core::TForm1& m = Main();
    for (std::uint8_t doubleClickRun : {0, 1}) {
        SCOPED_TRACE(int(doubleClickRun));
        m.Settings.DoubleClickRun = doubleClickRun;
        Open(1);
        ASSERT_EQ(m.ScrollMode[2], 1);
        for (int i = 0; i < 5; ++i) core::ScrollMenu(Form2(), false);
        m.StopTimer(core::TForm1::kScrolltimer);
        ASSERT_EQ(m.ScrollTop, 5);
        ClickAt(2, 3, doubleClickRun == 1);
        ASSERT_TRUE(log->WaitForEvents(1));
        const auto launches = log->Take();
        ASSERT_EQ(launches.size(), 1u);
        EXPECT_EQ(launches[0].file, L"C:\\none\\e7");
        EXPECT_EQ(launches[0].parameters, L"-e7");
        EXPECT_EQ(launches[0].show, SW_SHOWMAXIMIZED);
        CloseSubMenus();
    }
}

TEST_F(SubMenuClickTest, AClickListsASubFolderOfAListingInPlaceWhileADoubleClickOpensIt) {
    folder.WriteFile(L"docs\\sub\\x.txt", "x");
    folder.WriteFile(L"docs\\y.txt", "y");
    const std::wstring docs = folder.PathOf(L"docs");
    const std::wstring sub = folder.PathOf(L"docs\\sub");
    const std::wstring file = folder.PathOf(L"docs\\y.txt");
    StartWith({Row(1, "Docs", ui::WideToUtf8(docs), "", "1"),
               Row(2, "Group", "", "", "", {Row(55, "sub", ui::WideToUtf8(sub))})});
    core::TForm1& m = Main();
    m.Settings.RollOutAfterRun = 0;
    // The listing comes in the file system's order: rows are found by caption.
    const auto rowOf = [&m](const wchar_t* caption) {
        for (size_t i = 0; i < m.ItemLists[2].size(); ++i)
            if (m.ItemLists[2][i].Caption == caption) return static_cast<int>(i) + 1;
        ADD_FAILURE() << "no row " << ui::WideToUtf8(caption);
        return 1;
    };
    const auto captions = [&m] {
        std::vector<std::wstring> shown;
        for (const core::TLNItem& item : m.ItemLists[2]) shown.push_back(item.Caption);
        return shown;
    };
    struct Case {
        const char* name;
        int mainRow;
        const wchar_t* caption;
        bool doubleClick;
        std::wstring launched;  // empty: listed in place
    };
    const Case cases[] = {
        {"a sub-folder of the listing, clicked", 1, L"sub", false, L""},
        {"a file of the listing, clicked", 1, L"y.txt", false, file},
        {"a sub-folder of the listing, double-clicked", 1, L"sub", true, sub},
        {"the same folder in a group, clicked", 2, L"sub", false, sub},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.Settings.DoubleClickRun = c.doubleClick ? 1 : 0;
        Open(c.mainRow);
        ClickAt(2, c.mainRow == 1 ? rowOf(c.caption) : 1, c.doubleClick);
        if (c.launched.empty()) {
            EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
            EXPECT_TRUE(Form2().Visible());
            EXPECT_EQ(captions(), (std::vector<std::wstring>{L"..", L"x.txt"})) << "the sub-folder with a way up";
            EXPECT_EQ(m.ItemLists[2][0].Run, folder.PathOf(L"docs\\"));
            // The way up leads to the folder item's own folder: its Run has the trailing
            // backslash the item's lacks, and the listing there offers no way further up.
            ClickAt(2, 1, false);
            EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
            std::vector<std::wstring> top = captions();
            std::sort(top.begin(), top.end());
            EXPECT_EQ(top, (std::vector<std::wstring>{L"sub", L"y.txt"}));
        } else {
            ASSERT_TRUE(log->WaitForEvents(1));
            const auto launches = log->Take();
            ASSERT_EQ(launches.size(), 1u);
            EXPECT_EQ(launches[0].file, c.launched);
        }
        EXPECT_TRUE(propertiesOpened.empty());
        CloseSubMenus();
    }
}

// --- after the launch

TEST_F(SubMenuClickTest, ALaunchFromTheThirdLevelClosesTheSubMenusAndRollsTheMenuOut) {
    for (bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick);
        StartWithXml(TypeMenu());
        core::TForm1& m = Main();
        m.Settings.RollOutAfterRun = 1;
        m.Settings.DoubleClickRun = doubleClick ? 1 : 0;
        Open(1, RowOf(2));
        ClickAt(3, RowOf(0), doubleClick);
        ASSERT_TRUE(log->WaitForEvents(1));
        EXPECT_EQ(log->Take().size(), 1u);
        EXPECT_FALSE(Form2().Visible());
        EXPECT_FALSE(Form3().Visible());
        EXPECT_TRUE(m.MenuHidden);
        core::WaitForLaunches(5000);
        core::DestroyForms();
    }
}

TEST_F(SubMenuClickTest, PopUpSingleClicksLaunchOnTheGuiThreadAndDoubleClicksOnTheirOwn) {
    StartWithXml(TypeMenu());
    core::TForm1& m = Main();
    core::PopupMode = true;
    const DWORD gui = GetCurrentThreadId();
    for (bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick);
        m.Settings.DoubleClickRun = doubleClick ? 1 : 0;
        DWORD thread = 0;
        core::ShellFunctions shell = Recording(log);
        const auto record = shell.execute;
        shell.execute = [&thread, record](const core::ShellCall& call) {
            thread = GetCurrentThreadId();
            record(call);
        };
        core::SetShellForTests(shell);
        Open(1);
        m.DragTimer.Start();  // as the press of this click started it
        ClickAt(2, RowOf(0), doubleClick);
        ASSERT_TRUE(log->WaitForEvents(1));
        log->Take();
        EXPECT_EQ(thread == gui, !doubleClick);
        if (!doubleClick) {
            EXPECT_FALSE(m.DragTimer.Enabled()) << "no drag starts while the launch held the thread";
        }
        core::WaitForLaunches(5000);
        m.DragTimer.Stop();
        CloseSubMenus();
    }
}

}  // namespace
