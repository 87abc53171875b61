// The menu document: item records and their lists, per-level state, cached image
// names, document edits, shortcut reading, and the one guarded save of the menu.
#pragma once

#include "ui/xml_document.h"

#include <windows.h>

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// One menu entry as the windows draw and hit-test it.
struct TLNItem {
    std::wstring Run, Params, Caption, ImageFile;
    int Index = 0;
    int Type = 0;
    int RunVis = 0;
    std::wstring Param1;

    bool operator==(const TLNItem&) const = default;
};
using TLNItemList = std::vector<TLNItem>;

// One value per menu level, addressed by the level itself (1 main window, 2 and 3
// the sub-menu windows), so no caller converts to a 0-based index.
template <class T> class PerLevel {
public:
    PerLevel() = default;
    PerLevel(T level1, T level2, T level3)
        : values_{std::move(level1), std::move(level2), std::move(level3)} {}
    T& operator[](int level) { return values_[Slot(level)]; }
    const T& operator[](int level) const { return values_[Slot(level)]; }
private:
    static size_t Slot(int level) {
        if (level < 1 || level > 3) throw std::out_of_range("menu level outside 1..3");
        return static_cast<size_t>(level - 1);
    }
    std::array<T, 3> values_{};
};

// A number field of an item (Index, RunVis, Type) holds text that is not a
// decimal integer. It ends the build; the main-menu build offers the backup.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An item's number element: strict decimal once blanks around it are gone.
std::optional<int> ParseItemNumber(std::wstring_view text);

// Appends one record per element child of `element` (comments are not items).
// Reading goes through the creating lookup, so the item gains its missing fields.
// The list is not cleared. Throws ConversionError.
void LoadItemList(TLNItemList& list, ui::XmlNode element);

// Whether the sub-menu window of `level` (2 or 3) shows a folder's contents: the
// parent level's selected item (by the row rule, ScrollTop added while the parent
// scrolls) is a Type 1 folder with Param1 "1".
bool IsFolderMenuItem(const PerLevel<TLNItemList>& lists, const PerLevel<int>& selectedIndex,
                      const PerLevel<std::uint8_t>& scrollMode, int scrollTop, int level);

// An ID element names cached files, and the file holds whatever the user typed:
// only what the cache writer produces (1 to 5 digits, 0..99998) may become a path.
bool IsValidCacheId(std::wstring_view id);
// cacheDir + prefix + id + ext for a valid id; nothing otherwise.
std::optional<std::wstring> CachedImagePath(const std::wstring& cacheDir, std::wstring_view id,
                                            std::wstring_view prefix, std::wstring_view ext);

// For every ID element below and including `node` whose content is only text:
// when its icon strip exists, deletes it and its caption image ("s" + id). File
// errors are ignored: a missing strip leaves the caption image in place.
void DeleteCachedImages(ui::XmlNode node, const std::wstring& cacheDir,
                        const std::wstring& imageExt);

// Moves the element child at `from` so that it lands just before the one that was
// at `to` (to == count appends). Positions count elements only. False, with
// nothing changed, when a position is out of range.
bool MoveItemInDocument(ui::XmlNode root, int from, int to);

struct ShortcutInfo {
    std::wstring LinkFile;  // set by the caller
    std::wstring Target, Arguments, WorkingDir, Description, IconFile;
    int IconIndex = 0;
    WORD HotKey = 0;
    int ShowCmd = 0;
    WIN32_FIND_DATAW FindData{};
};
// Fills the record from the shortcut `info.LinkFile`. False, with the record
// untouched, when it is not a shortcut that the shell can load. Needs COM.
bool ReadShortcut(ShortcutInfo& info);

// The one writer of the menu file and its backup. It knows how the menu was
// loaded, so a menu that did not parse is never overwritten (the user's file may
// still be repaired by hand) and a menu that parsed but did not build never
// replaces the good backup a restore needs. Writes are atomic. No user interface:
// the caller shows the one warning TakeRefusalWarning asks for.
class MenuStore {
public:
    enum class LoadState {
        NotLoaded,
        ParseFailed,  // missing, unreadable or malformed file
        BuildFailed,  // parsed, but an item did not convert
        Good,
    };
    enum class SaveResult { Saved, Refused, Failed };

    void SetLoadState(LoadState state) noexcept { state_ = state; }
    LoadState State() const noexcept { return state_; }

    // True when the menu may be written; otherwise it counts as a refused save, so
    // an edit can stop before it changes the document.
    bool CheckMenuWritable(const ui::XmlDocument& doc);
    SaveResult SaveMenu(const ui::XmlDocument& doc, const std::wstring& menuPath);
    SaveResult SaveBackup(const ui::XmlDocument& doc, const std::wstring& bakPath);

    // True exactly once, after the first refused menu save.
    bool TakeRefusalWarning() noexcept;

    // A crash between writing the temporary file and moving it into place can
    // leave only the temporary file: when the menu is missing and that file is a
    // complete menu (root "Items"), it becomes the menu. Needs COM.
    static bool RecoverMenuFile(const std::wstring& menuPath);

private:
    SaveResult RefuseMenu();

    LoadState state_ = LoadState::NotLoaded;
    bool refusedOnce_ = false;
    bool warningPending_ = false;
};

}  // namespace core
