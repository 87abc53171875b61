// The main window over a menu of the test's rows, with the real button and Shift
// states a test holds for a while, and the geometry of the default skin's rows.
#pragma once

#include "main_window_fixture.h"

#include "core/edit_commands.h"
#include "core/folder_menu.h"
#include "core/launch.h"
#include "core/motion.h"
#include "core/mouse_input.h"
#include "ui/cursor.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace menu_input {

struct Row {
    Row(int type_, std::string caption_, std::string run_ = {}, std::string id_ = {}, std::string param1_ = {},
        std::vector<Row> children_ = {})
        : type(type_), caption(std::move(caption_)), run(std::move(run_)), id(std::move(id_)),
          param1(std::move(param1_)), children(std::move(children_)) {}
    int type;
    std::string caption;
    std::string run;
    std::string id;
    std::string param1;
    std::vector<Row> children;
};

inline std::string ItemXml(const Row& row) {
    std::string xml = "<item><Run>" + row.run + "</Run><Type>" + std::to_string(row.type) + "</Type><Caption>" +
                      row.caption + "</Caption>";
    if (!row.param1.empty()) xml += "<Param1>" + row.param1 + "</Param1>";
    if (!row.id.empty()) xml += "<ID>" + row.id + "</ID>";
    xml += "<subitem>";
    for (const Row& child : row.children) xml += ItemXml(child);
    return xml + "</subitem></item>";
}

inline std::string MenuXml(const std::vector<Row>& rows) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Items>";
    for (const Row& row : rows) xml += ItemXml(row);
    return xml + "</Items>\r\n";
}

// One entry of a pop-up menu as the menu holds it: its text, MFT_* type and MFS_*
// state.
struct MenuEntryInfo {
    std::wstring text;
    UINT type = 0;
    UINT state = 0;
};
inline MenuEntryInfo ReadMenuEntry(HMENU menu, int position) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 127;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return {text, info.fType, info.fState};
}

// One mouse event through the real input queue (a button press or release).
inline void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// The left button really held (GetAsyncKeyState sees it), pressed over a small
// window of the test's own, away from the menu: a press on a foreign window would
// deactivate the application, and the deactivation slides the menu out.
class LeftButtonHeld {
public:
    LeftButtonHeld() {
        pad_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"press pad", WS_POPUP | WS_VISIBLE, kX - 10, kY - 10, 20,
                               20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetCursorPos(kX, kY);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
    }
    ~LeftButtonHeld() {
        SetCursorPos(kX, kY);
        SendMouse(MOUSEEVENTF_LEFTUP);
        ui::Application::Instance().ProcessMessages();
        if (pad_) DestroyWindow(pad_);
    }
    LeftButtonHeld(const LeftButtonHeld&) = delete;
    LeftButtonHeld& operator=(const LeftButtonHeld&) = delete;

private:
    static constexpr int kX = 1100;
    static constexpr int kY = 950;
    HWND pad_ = nullptr;
};

// A window of the test's own that can take the capture, as a menu or dialog would.
class OtherWindow {
public:
    OtherWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
    ~OtherWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Shift down in this thread's keyboard state.
class ShiftHeld {
public:
    ShiftHeld() {
        GetKeyboardState(saved_);
        BYTE state[256];
        std::memcpy(state, saved_, sizeof(state));
        state[VK_SHIFT] = 0x80;
        state[VK_LSHIFT] = 0x80;
        SetKeyboardState(state);
    }
    ~ShiftHeld() { SetKeyboardState(saved_); }
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;

private:
    BYTE saved_[256]{};
};

// An item of the menu file by its 0-based positions from the root down, read into
// `document`, which keeps the node alive.
inline std::optional<ui::XmlNode> SavedItem(ui::XmlDocument& document, const std::wstring& file,
                                            const std::vector<int>& path) {
    if (!document.Load(file)) return std::nullopt;
    ui::XmlNode node = document.Root();
    for (size_t i = 0; i < path.size(); ++i) {
        if (i > 0) node = node.Child(L"subitem");
        if (static_cast<size_t>(path[i]) >= node.ElementCount()) return std::nullopt;
        node = node.ElementAt(static_cast<size_t>(path[i]));
    }
    return node;
}

}  // namespace menu_input

class MenuInputTest : public MainWindowTest {
protected:
    using Row = menu_input::Row;

    // A click on an item without a target opens the properties dialog, which is
    // modal: a test that means to drive it puts the real one back.
    void SetUp() override {
        MainWindowTest::SetUp();
        core::SetPropertiesDialogForTests([](int) {});
    }

    void StartWith(const std::vector<Row>& rows) {
        folder.WriteFile(L"1.xml", menu_input::MenuXml(rows));
        boxes.clear();
        Start();
        ASSERT_TRUE(boxes.empty()) << "the menu did not build";
        SetCursorPos(1100, 950);
    }

    void TearDown() override {
        ui::SetScreenCursor(nullptr);
        core::SavedScreenCursor = nullptr;
        core::SetTaskDialogHandler(nullptr);
        core::SetPropertiesDialogForTests(nullptr);
        core::SetKeepListingsForTests(false);
        core::VistaOrLater = false;
        SetCursorPos(1100, 950);
        MainWindowTest::TearDown();
    }

    // Client y of the middle of a 1-based row when every row above is a full one.
    int RowY(int row) const { return Main().Skin.HeaderSize + Main().Skin.ItemSize * (row - 1) + Main().Skin.ItemSize / 2; }
    const core::TForm1& Main() const { return *core::Form1; }
    core::TForm1& Main() { return *core::Form1; }

    void Hover(int row) { Main().FormMouseMove(0, 10, RowY(row)); }
    // A left press and release through the window's own messages, as the system
    // delivers them: the press captures the pointer, the release gives it back.
    void Press(int x, int y, WPARAM keys = 0) {
        SendMessageW(Main().Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    }
    void Release(int x, int y) { SendMessageW(Main().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    // The pointer over a row of the main window, in screen coordinates.
    void PointAtRow(int row) { SetCursorPos(Main().Left() + 10, Main().Top() + RowY(row)); }

    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (const core::TLNItem& item : Main().ItemLists[1]) captions.push_back(item.Caption);
        return captions;
    }
};
