// The plug-in host: the libraries of plugins\ loaded at start-up and released at the
// end, the hover calls, and the click hand-over with its write into the menu.
#include "core/plugins.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/startup.h"
#include "popups/zv_hint.h"
#include "render/compositor.h"
#include "render/row_geometry.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace core {
namespace {

static_assert(kPluginIconOffset + kPluginShortStringSize <= kPluginBufferSize);
static_assert(kPluginCaptionOffset + kPluginShortStringSize <= kPluginIconOffset);

// Clicks being handed over right now. PluginBusy cannot tell: WM_PLUGIN_DONE clears
// it while "_OnClick" still runs.
int g_clickDepth = 0;

template <class Proc> Proc ExportOf(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A row export of the loaded plug-in named `run`; null when none is loaded under that
// name or it lacks the export.
PluginRowProc RowExport(const TForm1& form, const std::wstring& run, const char* name) {
    const int slot = FindPluginSlot(form.Plugins, run);
    if (slot == 0) return nullptr;
    return ExportOf<PluginRowProc>(form.Plugins[slot].Handle, name);
}

// A library that is no DLL, or one whose dependencies are missing, fails quietly:
// start-up must not stop at a system error box.
HMODULE LoadPluginLibrary(const std::wstring& path) {
    DWORD previous = 0;
    const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    const HMODULE module = LoadLibraryW(path.c_str());
    if (quiet) SetThreadErrorMode(previous, nullptr);
    return module;
}

// The hover export `name` for the selected row of a level index (0..2), by the one
// row rule: on a scrolled level the row under the pointer is ScrollTop further down.
void CallHoverExport(TForm1& form, int levelIndex, const RECT& rect, const char* name) {
    const int level = levelIndex + 1;
    if (level < 1 || level > 3) return;
    const TLNItem* item =
        HoveredItem(form.ItemLists[level], form.SelectedIndex[level] - 1, form.ScrollMode[level], form.ScrollTop);
    // Only plug-in rows: another row's Run may name a library by chance.
    if (!item || item->Type != 11) return;
    const PluginRowProc proc = RowExport(form, item->Run, name);
    if (!proc) return;
    RECT copy = rect;
    proc(&copy, form.PluginBuffer.data());
}

// Where a clicked row lies: the menu file and the row's position on each level.
struct RowPath {
    std::wstring menuFile;
    std::vector<int> positions;
};

RowPath PathOfSelectedRow(const TForm1& form, int level) {
    RowPath path{MenuFileName, {}};
    for (int above = 1; above <= level; ++above)
        path.positions.push_back(SelectedPosition(above, form.SelectedIndex, form.ScrollMode, form.ScrollTop));
    return path;
}

// The node the path leads to now, only while it is still a plug-in row naming `run`:
// while "_OnClick" ran, an edit, a rebuild or a switch to another menu file may have
// replaced the document. The walk creates nothing.
std::optional<ui::XmlNode> PluginRowNode(const TForm1& form, const RowPath& path, const std::wstring& run) {
    if (path.menuFile != MenuFileName || !form.XMLDocument1.HasRoot()) return std::nullopt;
    ui::XmlNode node = form.XMLDocument1.Root();
    for (size_t i = 0; i < path.positions.size(); ++i) {
        if (i > 0) {
            std::optional<ui::XmlNode> subitem = node.FindChild(L"subitem");
            if (!subitem) return std::nullopt;
            node = *subitem;
        }
        const int position = path.positions[i];
        if (position < 0 || static_cast<size_t>(position) >= node.ElementCount()) return std::nullopt;
        node = node.ElementAt(static_cast<size_t>(position));
    }
    const std::optional<ui::XmlNode> type = node.FindChild(L"Type");
    if (!type || ParseItemNumber(type->Text()) != 11) return std::nullopt;
    const std::optional<ui::XmlNode> runNode = node.FindChild(L"Run");
    if ((runNode ? runNode->Text() : std::wstring()) != run) return std::nullopt;
    return node;
}

void WriteClickResult(TForm1& form, int level, const RowPath& path, const std::wstring& run) {
    std::optional<ui::XmlNode> node = PluginRowNode(form, path, run);
    if (!node || !form.MenuEditable()) return;
    node->Child(L"Caption").SetText(ReadPluginString(form.PluginBuffer, kPluginCaptionOffset));
    node->Child(L"ImageFile").SetText(ReadPluginString(form.PluginBuffer, kPluginIconOffset));
    // The rebuild refills the level's list, the entry's Caption with it.
    form.SaveMenuAndRebuild(level - 1);
}

}  // namespace

int FindPluginSlot(const PluginTable& plugins, std::wstring_view name) {
    int found = 0;
    for (int slot = 1; slot <= kPluginSlots; ++slot)
        if (plugins[slot].Loaded && plugins[slot].Name == name) found = slot;
    return found;
}

std::wstring ReadPluginString(const PluginBufferBytes& buffer, std::size_t offset) {
    if (offset + kPluginShortStringSize > buffer.size()) return {};
    std::string_view bytes(reinterpret_cast<const char*>(buffer.data() + offset + 1), buffer[offset]);
    bytes = bytes.substr(0, bytes.find('\0'));
    std::wstring text = ui::AnsiToWide(bytes);
    std::erase_if(text, [](wchar_t c) { return c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r'; });
    return text;
}

void TForm1::LoadPlugins() {
    for (int slot = 1; slot <= kPluginSlots; ++slot) Plugins[slot].Loaded = false;
    const std::wstring folder = AppDir + L"plugins\\";
    WIN32_FIND_DATAW found{};
    ui::UniqueFind find(FindFirstFileW((folder + L"*.dll").c_str(), &found));
    if (!find) return;
    int slot = 1;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        // A slot only for a library that loaded: an empty one would later be asked
        // for its exports by handle 0, which is the program itself.
        const HMODULE module = LoadPluginLibrary(folder + name);
        if (!module) continue;
        Plugins[slot] = TPlugin{true, module, name};
        ++slot;
        if (const auto load = ExportOf<PluginNotifyProc>(module, kLoadPluginExport)) load();
    } while (slot <= kPluginSlots && FindNextFileW(find.Get(), &found));
}

void TForm1::UnloadPlugins() {
    for (int slot = 1; slot <= kPluginSlots; ++slot) {
        TPlugin& plugin = Plugins[slot];
        if (!plugin.Loaded) continue;
        plugin.Loaded = false;
        const HMODULE module = std::exchange(plugin.Handle, nullptr);
        if (const auto unload = ExportOf<PluginNotifyProc>(module, kUnloadPluginExport)) unload();
        if (module) FreeLibrary(module);
    }
}

int TForm1::FindPlugin(const std::wstring& name) const { return FindPluginSlot(Plugins, name); }

void TForm1::PluginEnter(int level, const RECT& rect) { CallHoverExport(*this, level, rect, kOnEnterExport); }

void TForm1::PluginLeave(int level, const RECT& rect) { CallHoverExport(*this, level, rect, kOnLeaveExport); }

void PluginRowClick(TForm1& form, ui::Form& window, int row, const TLNItem& item) {
    if (window.Tag < 1 || window.Tag > 3) return;
    // "_OnClick" may pump messages (a modal dialog of its own): a second plug-in
    // click meanwhile would re-enter a plug-in and write over the first one's row.
    if (g_clickDepth > 0) return;
    ++g_clickDepth;
    ui::ScopeExit leave([] { --g_clickDepth; });
    const int level = window.Tag;
    if (ZVHint) ZVHint->Hide();
    form.ForceForeground(window.Handle());
    // Cleared on every way out: stuck, it would end every timer tick early and
    // nothing would hide the menu again.
    form.PluginBusy = true;
    ui::ScopeExit done([&form] { form.PluginBusy = false; });
    // The row where it is drawn: one band lower below the up arrow of a scrolling level.
    const int top = SaturatedAdd(window.Top(), form.DrawnRowTop(level, row));
    const RECT rect{window.Left(), top, SaturatedAdd(window.Left(), window.Width()),
                    SaturatedAdd(top, form.Skin.ItemSize)};
    form.PluginItemRect = rect;
    const RowPath path = PathOfSelectedRow(form, level);
    if (const PluginRowProc onClick = RowExport(form, item.Run, kOnClickExport)) {
        RECT copy = rect;
        onClick(&copy, form.PluginBuffer.data());
        WriteClickResult(form, level, path, item.Run);
    }
    // A plug-in may have hidden the menu meanwhile; a repaint would show it again.
    if (!form.MenuHidden && window.Visible())
        form.RenderMenuWindow(false, window, form.LevelImages[level].get(), row, 0);
}

}  // namespace core
