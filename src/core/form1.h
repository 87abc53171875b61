// TForm1, the main launcher window: it owns the menu document, the per-level state,
// every setting and the start-up and shut-down paths. Each concern lives in its own
// file (startup, settings, menu_document, menu_build, skin, ...); this class only
// coordinates them.
#pragma once

#include "core/hot_zones.h"
#include "core/menu_document.h"
#include "core/plugins.h"
#include "core/settings.h"
#include "core/splash.h"
#include "dialogs/language.h"
#include "render/compositor.h"
#include "render/skin.h"
#include "ui/form.h"
#include "ui/popup_menu.h"
#include "ui/xml_document.h"

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

namespace core {

// The three delete questions and the two restore texts; the language file replaces
// the questions, whose English texts are those of its table.
struct MessageTexts {
    std::wstring RemoveLink{dialogs::DefaultMessage(dialogs::kRemoveLink)};
    std::wstring RemoveGroup{dialogs::DefaultMessage(dialogs::kRemoveGroup)};
    std::wstring RemoveObject{dialogs::DefaultMessage(dialogs::kRemoveObject)};
    std::wstring LoadProblem =
        L"There were problems with links loading. Do You want try to restore them?";
    std::wstring RestartProgram = L"Please, restart program.";
};

// A context-menu entry's state; the menu itself is built from these before each showing.
struct MenuEntry {
    std::wstring Caption;
    bool Checked = false;
    bool Visible = true;
};

class TForm1 : public ui::Form {
public:
    // Timer ids.
    static constexpr UINT_PTR kTimer1 = 1;
    static constexpr UINT_PTR kDragTimer = 2;
    static constexpr UINT_PTR kScrolltimer = 3;

    TForm1() {
        Tag = 1;
        Cursor = ui::FormCursor::HandPoint;
        SetUpPopupMenu1();
    }

    // --- start-up and shut-down
    // Errors of the splash are ignored: it is decoration.
    void ShowSplash();
    void SplashTimerTimer();
    void CloseSplash();
    void CloseMIClick();

    // --- menu document
    void BuildMainMenu();
    // Writes the document and rebuilds the level. When the file cannot be written
    // the edit is undone: the document is loaded again from the unchanged file, so
    // the rows shown and the document never differ. False then.
    bool SaveMenuAndRebuild(int levelIndex);
    void MoveItem(int from, int to);
    // False (after telling the user once) when the menu file could not be loaded,
    // so nothing may be written over it.
    bool MenuEditable();
    // AppDir + MenuFileName, where every save goes.
    std::wstring MenuPath() const;

    // --- skins, the menu build and the compositor
    // False when the skin was broken ("Error in theme!", unless `reportError` is off);
    // its parts then hold what loaded, with fallbacks for the rest.
    bool LoadSkin(const std::wstring& name, bool reportError = true);
    int MeasureCaptions(ui::XmlNode element);
    void RenderMenuWindow(bool reuse, ui::Form& form, Gdiplus::Bitmap* image, int selected, int effect);
    // Row tops and the row under a point of a level's window (Tag of the form = level),
    // counted from the level's first row shown; the scroll offset is added here only.
    int ItemTop(int level, int count) const;
    int ItemIndexAtY(int level, int y) const;
    // The list index of a level's first row shown: ScrollTop while it scrolls, else 0.
    int FirstShownRow(int level) const;
    // Where a row is drawn in its window: ItemTop, one band lower below the up arrow
    // while the level scrolls.
    int DrawnRowTop(int level, int row) const;
    // The pointer is inside the visible form (right and bottom edges excluded).
    static bool CursorInForm(const ui::Form& form);
    void ShowHotZones(bool visible);
    // Plays an open or close animation of the window from WorkBitmap.
    void PlayWindowEffect(ui::Form& form, int effect);
    // One layered-window update of the form at its position and size from `source`,
    // with WindowBlend.
    void UpdateLayeredFrom(ui::Form& form, HDC source);
    // Blur behind a menu window in the shape of the skin's blur mask.
    void ApplyBlurBehind(ui::Form& form);
    void HotZoneEnter(TMouseControl& sender);

    // --- motion: slides, the housekeeping timer, scrolling (motion.cpp)
    void SlideIn();
    void SlideOut();
    void Timer1Timer();
    bool CursorOnTab();
    void ScrolltimerTimer();
    void WMDisplayChange();
    void WMPowerBroadcast();
    // The application lost activation (WM_ACTIVATEAPP false).
    void ApplicationEvents1Deactivate();

    // --- click dispatch and launching (launch.cpp)
    void FormClick();
    void FormDblClick();
    bool ForceForeground(HWND window);
    void PlayClickEffect(ui::Form& form, Gdiplus::Bitmap* image, int row);
    void RevealInExplorer(const std::wstring& path, int type);
    void FindMIClick();

    // --- the shell's context menu of the selected item (shell_menu.cpp)
    void Contextmenu1Click();

    // --- main window mouse input (mouse_input.cpp)
    void FormMouseMove(UINT shift, int x, int y);
    void FormMouseDown(ui::MouseButton button, UINT shift, int x, int y);
    void FormMouseUp(ui::MouseButton button, UINT shift, int x, int y);
    void EndDrag();
    void DragTimerTimer();
    void SetPopupItemsVisible(bool itemCommands, std::uint8_t variant);
    void ApplyHandCursor();
    // The menu-end clean-up: preview released, preview line hidden, hook removed.
    // Idempotent: it runs for the menu-end event and when the menu returns.
    void MenuEndCleanUp();
    // The menu-end hook of the context menu; never a second one while one is set.
    void InstallMenuEndHook();
    // The preview line for a picture target of any menu level: PreviewImage loaded
    // unless one is, its size (PreviewSize) and blank1 shown.
    void LoadPreview(const std::wstring& path);
    void blank1MeasureItem(MEASUREITEMSTRUCT& item);
    void blank1DrawItem(const DRAWITEMSTRUCT& item);

    // --- menu edits (edit_commands.cpp, menu_edits.cpp)
    bool DeleteItem(int position, bool silent);
    void DelMIClick();
    bool EditIfNoTarget();
    // The properties dialog for the selected item of a level (1..3): filled, shown
    // modally, the level rebuilt after it. `newItem` for the item NewItem just made.
    void EditItemProperties(int level, bool newItem = false);
    void PropMIClick();
    void NewMIClick();
    void NewSepMIClick();
    void NewGroupMIClick();
    // Cut and Copy: the sender's name tells them apart.
    void Copy1Click(const ui::MenuItem& sender);
    void Paste1Click();
    void Lock1Click();
    void SettingsMIClick();
    void AboutMIClick();
    void NewItem(int level, bool separator);
    void NewGroup(int level);
    void WMDropFiles(HDROP drop);

    // --- weather readout (weather.cpp)
    // Fetches and reads the service's answer into WeatherData. False, with the
    // message shown, when the download failed; false without one while another
    // update runs or when the application ended meanwhile.
    bool UpdateWeather();

    // --- pop-up mode: the hook library, the notification icon and the messages
    // from outside the program (popup_mode.cpp)
    void TrayIcon(int operation);
    void InstallHook();
    void RemoveHook();
    void WMOpenMenuFile(LPARAM atom);
    void WMHideMenu();
    void WMTrayNotify(LPARAM mouseMessage);
    void WMEnableWindows();
    // What an error no routine caught undoes before the program ends: the hook and
    // the icon.
    void FaultCleanUp();
    HMODULE HookModule = nullptr;  // loaded once, never freed

    // --- plug-ins (plugins.cpp). The level of the hover calls is the menu level
    // minus one; they call the selected row's plug-in, on plug-in rows only.
    void LoadPlugins();
    void UnloadPlugins();
    int FindPlugin(const std::wstring& name) const;
    void PluginEnter(int level, const RECT& rect);
    void PluginLeave(int level, const RECT& rect);

    // --- later concerns, called by their final names
    void BuildIndex();
    // Fills `subitem` with the listing of `folder` (entries matching `filter`, a ".."
    // row first when addParent) and saves the menu. True in every case.
    bool BuildFolderMenu(const std::wstring& folder, const std::wstring& filter, bool addParent,
                         ui::XmlNode subitem);
    void ApplicationEvents1Exception();

    // --- state the other windows read and change
    core::Settings Settings;
    SkinMetrics Skin;
    SkinParts Parts;
    CompositorState Compositor;
    MessageTexts Messages;
    MenuEntry Lock1;
    // The node Copy and Cut hold for Paste: a copy outside the menu, never the
    // system clipboard. Empty until the first Copy or Cut.
    std::optional<ui::XmlNode> ClipboardNode;
    // Built from its entries at each showing; Lock1 above holds the lock entry's state.
    ui::PopupMenu PopupMenu1{*this};
    ui::FormTimer DragTimer{*this, kDragTimer, 400};
    bool HeaderDrag = false;
    POINT DragStart{};
    HWINEVENTHOOK WinEventHook = nullptr;  // set while the context menu is open
    // The preview line's picture (a member, not a global: no GDI+ object may outlive
    // the GDI+ session) and its size.
    std::unique_ptr<Gdiplus::Bitmap> PreviewImage;
    int PreviewWidth = 0;
    int PreviewHeight = 0;
    ui::XmlDocument XMLDocument1;
    MenuStore MenuFile;
    PerLevel<TLNItemList> ItemLists;
    PerLevel<int> SelectedIndex;
    PerLevel<std::uint8_t> ScrollMode;
    PerLevel<int> LevelWidths;
    PerLevel<std::unique_ptr<Gdiplus::Bitmap>> LevelImages;
    PerLevel<std::unique_ptr<Gdiplus::Bitmap>> CaptionImages;
    PerLevel<int> DragSourceIndex;
    int ScrollTop = 0;
    int ShowCount = 8;
    int MainItemCount = 0;
    int MainHeight = 0;
    bool Dragging = false;
    bool MenuHidden = false;
    // A plug-in works on a click; the menu stays up meanwhile.
    bool PluginBusy = false;
    PluginTable Plugins;
    // Shared by every plug-in for the program's life; the host never clears it.
    PluginBufferBytes PluginBuffer{};
    POINT PopupPoint{};
    // Screen rectangles of the row that opened the sub-menu drawn last (or of the
    // plug-in row clicked since; the hover calls pass it), and of the hovered row of
    // the window drawn last; animations run while the pointer is in them.
    RECT PluginItemRect{};
    RECT SelectedRowRect{};
    std::string MoveSoundData;
    bool HookInstalled = false;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
    bool FormCloseQuery() override;
    void FormClose() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MouseDown(ui::MouseButton button, UINT shift, int x, int y) override;
    void MouseMove(UINT shift, int x, int y) override;
    void MouseUp(ui::MouseButton button, UINT shift, int x, int y) override;
    void Click() override;
    void DblClick() override;
    void CaptureLost() override;

private:
    void ChooseMenuFile();
    // False, after telling the user, when start-up cannot go on without it.
    bool WriteDefaultMenuIfMissing();
    void DecidePopupMode();
    void PlaceInitially();
    // mouse_input.cpp
    void SetUpPopupMenu1();
    void PopupMenu1Command(const ui::MenuItem& item);
    void OpenSubMenu(int row, const TLNItem& item);
    void EndHeaderDrag(int x, int y);
    void ReleaseOverRows(ui::MouseButton button);
    void EndItemDrag();
    void DropIntoOpenGroup(int source);
    void ShowRowMenu(const TLNItem& item);
    void PopupAtCursor();
    // menu_edits.cpp: the window of a level, and its repaint after an edit.
    ui::Form* LevelForm(int level);
    void RepaintLevel(int level);

    // The one-shot pop-up asks for its close once, at its first hide.
    void RequestOneShotClose();

    std::unique_ptr<SplashWindow> splash_;
    bool splashSuppressed_ = false;
    // Off while the menu is reloaded after a failed write: that build asks nothing.
    bool offerRestore_ = true;
    bool closeRequested_ = false;
    // The messages from outside wait for the end of start-up: until then the menu and
    // the later windows may not exist, and a start-up dialog dispatches them.
    bool startupFinished_ = false;
    // A header drag moved the menu to the other side during this run.
    bool positionSwitched_ = false;
};

}  // namespace core
