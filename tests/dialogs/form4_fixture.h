// The properties dialog over a menu of the test's items, opened the way the context
// menu opens it and driven from inside its modal loop by messages to its controls.
#pragma once

#include "core/menu_input_fixture.h"

#include "core/glass.h"
#include "core/launch.h"
#include "core/motion.h"
#include "dialogs/choosers.h"
#include "dialogs/form4.h"
#include "popups/form2.h"
#include "support/modal_steps.h"
#include "support/shell_files.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/xml_document.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace properties {

using Fields = std::vector<std::pair<std::string, std::string>>;

// An "item" element with these children in order, and items inside its "subitem".
inline std::string Item(const Fields& fields, const std::vector<std::string>& children = {}) {
    std::string xml = "<item>";
    for (const auto& [name, value] : fields) xml += "<" + name + ">" + value + "</" + name + ">";
    xml += "<subitem>";
    for (const std::string& child : children) xml += child;
    return xml + "</subitem></item>";
}
inline std::string Link(const std::string& caption, const std::string& run = "") {
    return Item({{"Run", run}, {"Type", "0"}, {"Caption", caption}});
}
inline std::string Group(const std::string& caption, const std::vector<std::string>& children) {
    return Item({{"Run", ""}, {"Type", "2"}, {"Caption", caption}}, children);
}
inline std::string Menu(const std::vector<std::string>& items) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Items>";
    for (const std::string& item : items) xml += item;
    return xml + "</Items>\r\n";
}

}  // namespace properties

class PropertiesTest : public MenuInputTest {
public:
    using Step = std::function<void()>;

protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        core::SetPropertiesDialogForTests(nullptr);  // the real dialog
        // HideGroupDelay would block on every move while the third level is up.
        core::SetMotionClockForTests(nullptr, [](int) {});
        // A closing dialog takes the activation along, and the menu slides out: fast.
        config += L"SlideInSpeed=1\r\nSlideOutSpeed=1\r\n";
    }
    void TearDown() override {
        dialogs::ResetChoosers();
        core::SetDwmLoaderForTests(nullptr);
        core::SetMotionClockForTests(nullptr, nullptr);
        MenuInputTest::TearDown();
    }

public:
    void StartWithMenu(const std::string& xml) {
        folder.WriteFile(L"1.xml", xml);
        boxes.clear();
        Start();
        ASSERT_TRUE(boxes.empty()) << "the menu did not build";
        SetCursorPos(1100, 950);
    }

    dialogs::TForm4& Dialog() { return *core::Form4; }
    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }
    HWND Control(int id) { return Dialog().Control(id); }

    // --- input as the controls deliver it
    void SetText(int id, const std::wstring& text) {
        SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Pick(int id, int index) {
        SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(Dialog().Handle(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void Drop(const std::wstring& path, POINT point) {
        SendMessageW(Dialog().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(testing_support::MakeDrop(path, point)),
                     0);
    }
    // The middle of a control in the dialog's client coordinates.
    POINT Middle(int id) {
        const RECT r = ui::ChildRect(Control(id));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::wstring Text(int id) { return ui::ControlText(Control(id)); }
    bool Enabled(int id) { return ui::ControlEnabled(Control(id)); }
    bool Shown(int id) { return ui::ControlVisible(Control(id)); }
    int Index(int id) { return ui::ComboIndex(Control(id)); }

    // --- the menu levels
    int SubRowY(int row) const {
        return Main().Skin.HeaderSize + Main().Skin.ItemSize * (row - 1) + Main().Skin.ItemSize / 2;
    }
    // Selects row1 of the main window, row2 of its sub-menu and row3 of the third
    // level; 0 stops at the level above. The sub-menu windows open as the pointer
    // opens them; a main-window row alone is set directly, since a closing dialog may
    // have slid the menu out (the application lost activation).
    void SelectRows(int row1, int row2 = 0, int row3 = 0) {
        if (row2 <= 0) {
            Main().SelectedIndex[1] = row1;
            Main().SelectedIndex[2] = -1;
            Main().SelectedIndex[3] = -1;
            return;
        }
        Hover(row1);
        ASSERT_TRUE(Form2().Visible());
        Form2().FormMouseMove(0, 10, SubRowY(row2));
        if (row3 <= 0) return;
        ASSERT_TRUE(Form3().Visible());
        Form3().FormMouseMove(0, 10, SubRowY(row3));
    }

    // Runs `open` (which shows the dialog modally) with `steps` run inside the loop,
    // one per tick. A dialog still up after the steps is cancelled and counts as a
    // failure; false when the steps did not all run (the dialog never showed).
    bool RunDialog(const Step& open, std::vector<Step> steps) {
        testing_support::ModalSteps modal;
        for (Step& step : steps) modal.Then(std::move(step));
        bool leftOpen = false;
        modal.Then([&] {
            leftOpen = Dialog().Visible();
            if (leftOpen) Dialog().Button6Click();
        });
        modal.Start();
        open();
        const bool ran = modal.Pending() == 0;
        modal.Stop();
        EXPECT_FALSE(leftOpen) << "the dialog did not close";
        return ran;
    }
    // The context menu's Properties on the selected row of `level`.
    bool EditSelected(int level, std::vector<Step> steps) {
        return RunDialog(
            [this, level] {
                Main().PopupMenu1.Tag = level - 1;
                Main().PropMIClick();
            },
            std::move(steps));
    }
    // The context menu's New item on the selected row of `level`.
    bool NewOnSelected(int level, std::vector<Step> steps) {
        return RunDialog(
            [this, level] {
                Main().PopupMenu1.Tag = level - 1;
                Main().NewMIClick();
            },
            std::move(steps));
    }

    // --- the saved menu
    // An item of the saved file by its 0-based positions from the root down.
    std::optional<ui::XmlNode> Saved(const std::vector<int>& path) {
        saved_ = std::make_unique<ui::XmlDocument>();
        return menu_input::SavedItem(*saved_, folder.PathOf(L"1.xml"), path);
    }
    // Named fields of a saved item, "name=value" joined by blanks; "(none)" for a
    // field the item lacks.
    std::wstring SavedFields(const std::vector<int>& path, const std::vector<std::wstring>& names) {
        auto item = Saved(path);
        if (!item) return L"(no item)";
        std::wstring out;
        for (const std::wstring& name : names) {
            auto field = item->FindChild(name);
            if (!out.empty()) out += L" ";
            out += name + L"=" + (field ? field->Text() : L"(none)");
        }
        return out;
    }
    std::vector<std::wstring> SavedCaptions(const std::vector<int>& path) {
        std::vector<std::wstring> captions;
        std::optional<ui::XmlNode> container;
        if (path.empty()) {
            saved_ = std::make_unique<ui::XmlDocument>();
            if (saved_->Load(folder.PathOf(L"1.xml"))) container = saved_->Root();
        } else if (auto item = Saved(path)) {
            container = item->Child(L"subitem");
        }
        if (container)
            for (const ui::XmlNode& child : container->ElementChildren()) {
                auto caption = child.FindChild(L"Caption");
                captions.push_back(caption ? caption->Text() : L"?");
            }
        return captions;
    }

private:
    std::unique_ptr<ui::XmlDocument> saved_;
};
