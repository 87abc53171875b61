// Folder menus: a folder item's sub-menu lists the folder's entries as generated rows.
#pragma once

#include "ui/xml_document.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The folder one level above `path`, from the path alone: the process's current folder
// is never changed (it would lock the folder and race with the launch threads) and a
// folder that cannot be entered still has a parent. No trailing backslash except at a root.
std::wstring ParentFolderName(const std::wstring& path);

// The extensions a filter lets through: split at ";", a dot put in front of each entry
// that is not empty and lacks one. Nothing for a blank filter, which lets everything through.
std::optional<std::vector<std::wstring>> ParseFolderFilter(std::wstring_view filter);
// The name's extension from its last dot, the dot included, is one of `extensions`,
// ignoring case; a name without a dot has the empty extension.
bool FilterAdmits(const std::vector<std::wstring>& extensions, std::wstring_view name);

struct FolderMenuRow {
    std::wstring Run, Caption;
    bool operator==(const FolderMenuRow&) const = default;
};

// The rows of a folder menu: the ".." row first when `addParent` (Run: the parent
// folder with a trailing backslash), then the folder's entries the filter admits, files
// and folders mixed in the order the file system returns them. Nothing for a missing folder.
std::optional<std::vector<FolderMenuRow>> FolderMenuRows(const std::wstring& folder, std::wstring_view filter,
                                                         bool addParent);

// Replaces every child of `subitem` by one generated row per entry: an "item" with Run,
// Caption, ImageFile (empty), Index "0", Type "55", subitem (empty), RunVis "0" and
// Params (empty), in this order.
void FillFolderMenu(ui::XmlNode subitem, const std::vector<FolderMenuRow>& rows);

// For tests that write a listing's rows by hand (separators, rows without a target, a
// fixed order the file system would not give): while set, BuildFolderMenu still resets
// ScrollTop but leaves the subitem and the menu file as they are.
void SetKeepListingsForTests(bool keep);

}  // namespace core
