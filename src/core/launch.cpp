// The main window's click and double-click dispatch by the row's Type, the click
// effect, and the shell routines around launching.
#include "core/launch.h"

#include "core/motion.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/path_macros.h"
#include "core/plugins.h"
#include "core/startup.h"
#include "core/weather.h"
#include "dialogs/edit_box.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "render/compositor.h"
#include "render/row_geometry.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"
#include "ui/modal.h"
#include "ui/strings.h"

#include <climits>
#include <memory>
#include <optional>
#include <vector>

namespace core {
namespace {

// SetForegroundWindow is retried a few times, never without end: the callers run on
// the GUI thread.
constexpr int kForegroundAttempts = 10;
constexpr DWORD kForegroundRetryMs = 5;

// The item of the main window's hovered row, or null when no row is hovered.
const TLNItem* MainRowItem(const TForm1& form) {
    const int selected = form.SelectedIndex[1];
    if (selected < 1 || selected > form.MainItemCount) return nullptr;
    return HoveredItem(form.ItemLists[1], selected - 1, form.ScrollMode[1], form.ScrollTop);
}

int PointerY() {
    POINT p{};
    GetCursorPos(&p);
    return p.y;
}

// The window of a level may be gone at shut-down; the clicks run on the GUI thread.
void HideLevelWindow(ui::Form* window) {
    if (window) window->Hide();
}

// The selection that names a row, taken before anything that dispatches messages.
struct RowSelection {
    PerLevel<int> SelectedIndex;
    PerLevel<std::uint8_t> ScrollMode;
    int ScrollTop = 0;
};

RowSelection CurrentSelection(const TForm1& form) { return {form.SelectedIndex, form.ScrollMode, form.ScrollTop}; }

// The document node of a selected row of the window's level, by the one row rule.
std::optional<ui::XmlNode> SelectedRowNode(TForm1& form, int level, const RowSelection& at) {
    if (!form.XMLDocument1.HasRoot()) return std::nullopt;
    const std::optional<ui::XmlNode> container =
        LevelContainer(form.XMLDocument1.Root(), level, at.SelectedIndex, at.ScrollMode, at.ScrollTop);
    if (!container) return std::nullopt;
    const int position = SelectedPosition(level, at.SelectedIndex, at.ScrollMode, at.ScrollTop);
    if (position < 0 || static_cast<size_t>(position) >= container->ElementCount()) return std::nullopt;
    return container->ElementAt(static_cast<size_t>(position));
}

bool KnownLevel(const ui::Form& window) { return window.Tag >= 1 && window.Tag <= 3; }

// The readout of the configured day after a fresh weather update; nothing when the
// update failed or could not run.
std::optional<WeatherDay> FetchWeatherDay(TForm1& form) {
    if (!form.UpdateWeather()) return std::nullopt;
    const int day = WeatherDayIndex(form.Settings.WeatherDayOffset);
    return WeatherDay{WeatherData.Temps[day], WeatherData.Icons[day]};
}

// Plays click effect `code` with the icon's top-left corner at `at`; returns the
// temporary window it used, null when none played.
std::unique_ptr<ui::Form> PlayEffect(std::uint8_t code, POINT at, int cell, Gdiplus::Bitmap* strip) {
    if (!ZVHint) return nullptr;
    popups::TZVHint& hint = *ZVHint;
    switch (code) {
    case 1: return hint.GlowEffect(at.x, at.y, cell, strip);
    case 2: return hint.ZoomEffect(at.x, at.y, cell, strip);
    case 3: return hint.RollEffect(at.x, at.y, cell, strip);
    case 4: return hint.BounceEffect(at.x, at.y, cell, strip);
    case 5: return hint.RippleEffect(at.x, at.y, cell, strip);
    default: return nullptr;
    }
}

}  // namespace

std::wstring DegreeSymbol(int degreeType) { return degreeType == 1 ? L"\u00B0C" : L"\u00B0F"; }

void OpenRunBox(TForm1& form, ui::Form& window, int row, const TLNItem& item) {
    if (!KnownLevel(window)) return;
    const int level = window.Tag;
    CompositorState& compositor = form.Compositor;
    const bool animationLoaded = form.Parts.AnimationLoaded;
    compositor.ShowHoverIcon = false;
    form.Parts.AnimationLoaded = false;
    form.StopTimer(TForm1::kTimer1);
    compositor.RunBoxOpen = true;
    {
        ui::ScopeExit restore([&] {
            compositor.RunBoxOpen = false;
            form.StartTimer(TForm1::kTimer1, 300);
            form.Parts.AnimationLoaded = animationLoaded;
            compositor.ShowHoverIcon = true;
        });
        form.RenderMenuWindow(true, window, form.LevelImages[level].get(), row, 0);
        if (!EditBox) return;
        // From the top of the first row to the bottom of the clicked one.
        const int rowTop = form.ItemTop(level, row);
        EditBox->SetBounds(window.Left(), SaturatedAdd(window.Top(), form.Skin.HeaderSize), EditBox->Width(),
                           ClampToInt(static_cast<long long>(rowTop) - form.Skin.HeaderSize + form.Skin.ItemSize));
        // The result list fills the rows above the clicked one, for a row that searches.
        EditBox->PlaceResultList(ClampToInt(static_cast<long long>(rowTop) - form.Skin.HeaderSize), item.Run == L"1");
        EditBox->Tag = level;
        ui::ShowModal(*EditBox);
    }
    // A sub-menu window may have closed while the box was up; the main window stays.
    if (!form.MenuHidden && (level == 1 || window.Visible()))
        form.RenderMenuWindow(true, window, form.LevelImages[level].get(), row, 0);
}

void WeatherRowClick(TForm1& form, ui::Form& window) {
    if (!KnownLevel(window)) return;
    const int level = window.Tag;
    // The update dispatches messages while it waits: the row is the one clicked, and
    // only while it is still a weather row.
    const RowSelection clicked = CurrentSelection(form);
    const std::optional<WeatherDay> day = FetchWeatherDay(form);
    if (!day) return;
    const std::optional<ui::XmlNode> node = SelectedRowNode(form, level, clicked);
    if (!node) return;
    const std::optional<ui::XmlNode> type = node->FindChild(L"Type");
    if (!type || ParseItemNumber(type->Text()) != 7 || !form.MenuEditable()) return;
    WriteWeatherReadout(*node, *day, form.Settings.DegreeType, AppDir);
    form.SaveMenuAndRebuild(level - 1);
    // A sub-menu window may have closed meanwhile; the main window stays.
    if (!form.MenuHidden && (level == 1 || window.Visible()))
        form.RenderMenuWindow(false, window, form.LevelImages[level].get(), -1, 0);
}

void LaunchRow(TForm1& form, ui::Form& window, int row, const TLNItem& item, bool onGuiThread) {
    if (!KnownLevel(window)) return;
    const int level = window.Tag;
    LaunchRequest request = MakeLaunchRequest(item, form.Settings);
    if (onGuiThread) {
        // The press of this click must start no drag while the launch holds the thread.
        form.DragTimer.Stop();
        LaunchItemThread(request);
    } else {
        StartLaunchThread(std::move(request));
    }
    form.PlayClickEffect(window, form.LevelImages[level].get(), row);
    if (form.Settings.RollOutAfterRun != 1) return;
    // The sub-menus go first: the slide-out leaves them up while the about box shows.
    if (level > 1) {
        HideLevelWindow(Form2);
        HideLevelWindow(Form3);
    }
    form.SlideOut();
}

void TForm1::FormClick() {
    if (Settings.OpenOnClick == 1 && MenuHidden) {
        if (!Animating) SlideIn();
        return;
    }
    if (CursorOnTab() || Dragging) return;
    const TLNItem* hovered = MainRowItem(*this);
    if (!hovered || PointerY() <= Top() + Skin.HeaderSize) return;
    // A copy: the dialogs and rebuilds below replace the item lists.
    const TLNItem item = *hovered;
    const int row = SelectedIndex[1] - 1;
    switch (item.Type) {
    case 2:
    case 777: return;
    case 6: OpenRunBox(*this, *this, row, item); return;
    case 7: WeatherRowClick(*this, *this); return;
    case 11: PluginRowClick(*this, *this, row, item); return;
    default: break;
    }
    if (Settings.DoubleClickRun == 1) return;  // the double click launches
    if (EditIfNoTarget()) return;
    LaunchRow(*this, *this, row, item, PopupMode);
}

bool DoubleClickLaunches(int type) {
    switch (type) {
    case 2:
    case 777:
    // Their Run is "0", "1", a temperature or a library name: nothing for the shell.
    case 6:
    case 7:
    case 11: return false;
    default: return true;
    }
}

void TForm1::FormDblClick() {
    if (!PopupMode && PointerY() - Top() < Skin.HeaderSize) return;
    if (Settings.DoubleClickRun != 1) return;
    const TLNItem* hovered = MainRowItem(*this);
    if (!hovered) return;
    const TLNItem item = *hovered;
    if (!DoubleClickLaunches(item.Type)) return;
    if (EditIfNoTarget()) return;
    LaunchRow(*this, *this, SelectedIndex[1] - 1, item, false);
}

namespace {

struct OwnedSearch {
    HWND owner;
    bool found;
};

// A lambda does not convert to a stdcall callback on 32-bit builds.
BOOL CALLBACK FindVisibleNormalOwned(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    if (GetWindow(w, GW_OWNER) == search->owner && IsWindowVisible(w) &&
        !(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST))
        search->found = true;
    return !search->found;
}

bool OwnsVisibleNormalWindow(HWND owner) {
    OwnedSearch search{owner, false};
    EnumThreadWindows(GetCurrentThreadId(), &FindVisibleNormalOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool TForm1::ForceForeground(HWND window) {
    if (!window || !IsWindow(window)) return false;
    UINT savedTimeout = 0;
    const bool haveTimeout = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0) != FALSE;
    // The SET form takes the value itself in pvParam, not a pointer to it. A time-out
    // that could not be read is not changed, since it could not be put back.
    if (haveTimeout) SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    // A window that was topmost already (the menu windows are) stays so. Raising an
    // owner to the top band takes its owned windows along for good (no later call
    // returns them), so an owner of a visible window off the top band (the
    // desktop-mode menu) is not raised.
    const bool wasTopmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const bool raise = !wasTopmost && !OwnsVisibleNormalWindow(window);
    if (raise || wasTopmost) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD self = GetCurrentThreadId();
    bool done = false;
    for (int attempt = 0; attempt < kForegroundAttempts && !done; ++attempt) {
        if (attempt > 0) Sleep(kForegroundRetryMs);
        const bool attached = foregroundThread != 0 && foregroundThread != self &&
                              AttachThreadInput(self, foregroundThread, TRUE);
        done = SetForegroundWindow(window) != FALSE;
        if (attached) AttachThreadInput(self, foregroundThread, FALSE);
    }
    if (raise) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (haveTimeout)
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(savedTimeout)), 0);
    return done;
}

void TForm1::PlayClickEffect(ui::Form& form, Gdiplus::Bitmap* image, int row) {
    const int level = form.Tag;
    if (level < 1 || level > 3) return;
    const TLNItem* item = HoveredItem(ItemLists[level], row, ScrollMode[level], ScrollTop);
    if (!item) return;
    // Where the compositor draws the row's icon; a scrolling level starts one band lower.
    const POINT icon = IconPosition(*item, Skin);
    const int rowTop = DrawnRowTop(level, row);
    const POINT at{SaturatedAdd(form.Left(), icon.x), SaturatedAdd(SaturatedAdd(form.Top(), rowTop), icon.y)};

    std::unique_ptr<ui::Form> effect;
    {
        Compositor.ShowHoverIcon = false;
        ui::ScopeExit showIcon([this] { Compositor.ShowHoverIcon = true; });
        if (Settings.OnClick != 0) RenderMenuWindow(true, form, image, row, 0);
        effect = PlayEffect(Settings.OnClick, at, row, image);
    }
    if (!effect) return;
    effect.reset();
    RenderMenuWindow(true, form, image, row, 0);
}

void TForm1::RevealInExplorer(const std::wstring& path, int type) {
    // Targets may be stored with the path macros, as launches read them.
    const std::wstring target = ExpandPathMacros(path);
    ShellCall call;
    call.verb = L"open";
    call.show = SW_SHOWNORMAL;
    if (ui::DirectoryExists(target) && type != 55) {
        call.file = target;
    } else if (ui::FileExists(target) || type == 55) {
        call.file = L"Explorer.exe";
        // Quoted: a path with a comma or blank would otherwise split.
        call.parameters = L"/n,/select,\"" + target + L"\"";
    } else {
        return;
    }
    const ShellFunctions shell = CurrentShellFunctions();
    if (shell.execute) shell.execute(call);
}

void TForm1::FindMIClick() {
    RevealSelectedItem(*this, PopupMenu1.Tag + 1);
}

void RevealSelectedItem(TForm1& form, int level) {
    if (level < 1 || level > 3) return;
    const TLNItem* found = HoveredItem(form.ItemLists[level], form.SelectedIndex[level] - 1,
                                       form.ScrollMode[level], form.ScrollTop);
    if (!found) return;
    const TLNItem item = *found;
    form.RevealInExplorer(item.Run, item.Type);
}

void WriteWeatherReadout(ui::XmlNode item, const WeatherDay& day, int degreeType, const std::wstring& appDir) {
    item.Child(L"Run").SetText(day.Temperature);
    std::wstring format = item.Child(L"Params").Text();
    if (ui::TrimSpaces(format).empty()) format = L"%s";
    // The format is the user's text and the temperature the network's: neither may
    // be read as anything but the one placeholder.
    item.Child(L"Caption").SetText(ui::FormatS(format, day.Temperature + DegreeSymbol(degreeType)));
    // The icon code comes from the network: only a plain code may name a picture,
    // and only one that decodes.
    std::wstring icon = day.Icon;
    if (!IsWeatherIconCode(icon) || !ui::LoadImageFile(appDir + L"weather\\" + icon + L".png")) icon = L"N/A";
    item.Child(L"ImageFile").SetText(appDir + L"weather\\" + icon + L".png");
}

bool SameFolderPath(std::wstring_view a, std::wstring_view b) {
    const auto trimmed = [](std::wstring_view path) {
        if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
        return path;
    };
    a = trimmed(a);
    b = trimmed(b);
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    if (a.size() > static_cast<size_t>(INT_MAX) || b.size() > static_cast<size_t>(INT_MAX)) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace core
