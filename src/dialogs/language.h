// Language files: our own reader of their bytes, the one table of every keyed text
// (section, key, English default, where it goes), the step from a read file to every
// text, and the step that writes those texts into the windows.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dialogs {

// --- the reader

// Anything longer is not read: the defaults stand.
inline constexpr std::size_t kMaxLanguageFileBytes = 1024 * 1024;
// Longer lines are ignored (a stray huge value would otherwise become a caption).
inline constexpr std::size_t kMaxLanguageLineLength = 4096;

// A byte-order mark selects UTF-8, UTF-16LE or UTF-16BE; without one, valid UTF-8 is
// UTF-8 and anything else is in the ANSI code page, so older files read as before. A
// sequence cut off by the end (or an odd last UTF-16 byte) is dropped; invalid UTF-8
// after a mark becomes U+FFFD.
std::wstring DecodeLanguageText(std::string_view bytes);

// Sections of keys of values, named without regard to case, the first occurrence of
// each winning, as the profile reader gives them.
class LanguageFile {
public:
    // Null when the section or key is missing.
    const std::wstring* Value(std::wstring_view section, std::wstring_view key) const;
    // Every key of every section read.
    std::size_t KeyCount() const noexcept;

    // The parser's side: `Section` returns the keys of a section met for the first
    // time, null for a repeated one, whose keys are then never read.
    using Keys = std::unordered_map<std::wstring, std::wstring>;
    Keys* Section(std::wstring_view name);

private:
    std::unordered_map<std::wstring, Keys> sections_;
};

// The parse of decoded text. Blanks around names and values are trimmed and one pair
// of matching surrounding quotes removed; ";" starts a comment line; text after "]"
// is ignored. Ignored lines: over kMaxLanguageLineLength, holding U+0000, without
// "=", with an empty key. Keys after a header without its "]" belong to no section
// until the next good header.
LanguageFile ParseLanguageText(std::wstring_view text);
inline LanguageFile ParseLanguageFile(std::string_view bytes) { return ParseLanguageText(DecodeLanguageText(bytes)); }
// The file at `path`; a missing, unreadable or oversized file reads as empty.
LanguageFile ReadLanguageFile(const std::wstring& path);

// A language's name must be a plain file name: nothing empty, and no "\", "/", ":" or
// "..", so no name reaches outside the languages folder.
bool IsLanguageName(std::wstring_view name);
// AppDir + "languages\" + name + ".ini".
std::wstring LanguageFilePath(const std::wstring& appDir, std::wstring_view name);

// --- the table

// The window a keyed text relabels.
enum class TextForm { None, PopupMenu1, TForm4, TForm5, Messages };

// Where one text goes.
struct TextTarget {
    enum Kind { None, MenuEntry, Control, WindowCaption, Tab, Message };
    Kind kind = None;
    TextForm form = TextForm::None;
    const wchar_t* entry = nullptr;  // MenuEntry: the entry's name in PopupMenu1
    int id = 0;                      // Control: its id; Tab: the page; Message: MessageField
};

// The fields of TForm1::Messages the file sets.
enum MessageField { kRemoveLink, kRemoveGroup, kRemoveObject };

// One keyed text. `also` is a second target: the dialogs' window captions follow the
// context-menu entries that open them.
struct LanguageText {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* english;
    TextTarget target;
    TextTarget also{};
};

// Every keyed text, in the order the texts are applied: where two rows name one
// target (the Position page: Tab1, then Position), the later one wins.
std::span<const LanguageText> LanguageTable();

// The English default of the row that targets a control, a menu entry, a tab or a
// message field (the last such row); empty when no row does.
std::wstring_view DefaultControlText(TextForm form, int id);
std::wstring_view DefaultEntryCaption(std::wstring_view entry);
std::wstring_view DefaultTabCaption(int tab);
std::wstring_view DefaultMessage(MessageField field);
std::wstring_view DefaultWindowCaption(TextForm form);

// The lists a file may replace whole.
enum LanguageListId { kTypesList, kRunList, kClickEffectsList, kEnterEffectsList, kMenuEffectsList, kListCount };

struct LanguageList {
    const wchar_t* section;  // "Types"
    const wchar_t* prefix;   // its numbered keys: "Type1" ...
    TextForm form;
    int id;  // the combo box
    // The form's lines: the English file's values and, for the types and window
    // modes, what a missing key gives.
    std::span<const std::wstring_view> lines;
    // The effects give a missing key "Effect " and its number instead.
    bool numberedFallback;
};
const std::array<LanguageList, kListCount>& LanguageLists();

// --- a file's texts

struct LanguageTexts {
    std::vector<std::wstring> texts;  // one per LanguageTable() row
    // A list only when its section holds one of its own numbered keys; then always
    // with its full row count.
    std::array<std::optional<std::vector<std::wstring>>, kListCount> lists;
};
// A keyed text that is missing or empty takes its default; list values stay as the
// file gives them.
LanguageTexts ResolveLanguage(const LanguageFile& file);

// Writes the texts into PopupMenu1, TForm4, TForm5 and TForm1::Messages, in one pass
// (forms that do not exist yet are skipped). Entries are relabelled by name, never
// rebuilt; a list missing from the texts keeps what the previous file put there.
// TForm4's OK and Cancel show their glyphs only on Windows Vista and later.
void ApplyLanguage(const LanguageTexts& texts);

}  // namespace dialogs
