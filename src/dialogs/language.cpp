// The language files' reader and table, and the step from a read file to its texts.
// Our own reader, not the platform's profile reader: that one reads 8-bit files in
// the ANSI code page only (a Cyrillic file is mojibake on a Western system), knows no
// UTF-8 mark, and returns a value of any length.
#include "dialogs/language.h"

#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "dialogs/form5_values.h"
#include "dialogs/item_properties.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <windows.h>

namespace dialogs {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
}

// UTF-8 to UTF-16. Strict: nothing at the first invalid sequence; lenient: each one
// becomes U+FFFD. A sequence the end cuts off is dropped either way, so a truncated
// file reads up to its cut.
std::optional<std::wstring> Utf8(std::string_view bytes, bool strict) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t cp = 0;
        char32_t smallest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) length = 2, cp = lead & 0x1F, smallest = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, cp = lead & 0x0F, smallest = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, cp = lead & 0x07, smallest = 0x10000;
        size_t taken = 1;
        while (length && taken < length && i + taken < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
            ++taken;
        }
        if (length && taken < length && i + taken == bytes.size()) break;  // cut off by the end
        const bool valid = length && taken == length && cp >= smallest && cp <= 0x10FFFF &&
                           (cp < 0xD800 || cp > 0xDFFF);
        if (valid) {
            AppendCodePoint(out, cp);
        } else {
            if (strict) return std::nullopt;
            out.push_back(kReplacement);
        }
        i += taken;
    }
    return out;
}

std::wstring Utf16(std::string_view bytes, bool bigEndian) {
    std::wstring out(bytes.size() / 2, L'\0');  // an odd last byte is dropped
    for (size_t i = 0; i < out.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    // A pair the end cut in half.
    if (!out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) out.pop_back();
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// Section and key names compare without regard to case.
std::wstring Fold(std::wstring_view name) {
    std::wstring folded(name);
    bool ascii = true;
    for (wchar_t& c : folded) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c > 0x7F) ascii = false;
    }
    if (ascii || folded.empty()) return folded;
    const int length = static_cast<int>(folded.size());
    std::wstring upper(folded.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, folded.c_str(), length, upper.data(), length, nullptr,
                      nullptr, 0) != length)
        return folded;
    return upper;
}

std::wstring_view Trim(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring_view Unquote(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

void ParseLine(std::wstring_view line, LanguageFile& file, LanguageFile::Keys*& keys) {
    if (line.size() > kMaxLanguageLineLength || line.find(L'\0') != std::wstring_view::npos) return;
    line = Trim(line);
    if (line.empty() || line.front() == L';') return;
    if (line.front() == L'[') {
        const size_t close = line.find(L']');
        // A broken header must not let its keys relabel the section above it.
        keys = close == std::wstring_view::npos ? nullptr : file.Section(Trim(line.substr(1, close - 1)));
        return;
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos || !keys) return;
    const std::wstring_view key = Trim(line.substr(0, equals));
    if (key.empty()) return;
    keys->emplace(Fold(key), std::wstring(Unquote(Trim(line.substr(equals + 1)))));
}

// --- the table

constexpr TextTarget Entry(const wchar_t* name) { return {TextTarget::MenuEntry, TextForm::PopupMenu1, name, 0}; }
constexpr TextTarget Properties(int id) { return {TextTarget::Control, TextForm::TForm4, nullptr, id}; }
constexpr TextTarget Settings(int id) { return {TextTarget::Control, TextForm::TForm5, nullptr, id}; }
constexpr TextTarget CaptionOf(TextForm form) { return {TextTarget::WindowCaption, form, nullptr, 0}; }
constexpr TextTarget Tab(int tab) { return {TextTarget::Tab, TextForm::TForm5, nullptr, tab}; }
constexpr TextTarget Message(MessageField field) { return {TextTarget::Message, TextForm::Messages, nullptr, field}; }

constexpr wchar_t kMenu[] = L"Menu";
constexpr wchar_t kProperties[] = L"Properties";
constexpr wchar_t kSettings[] = L"Settings";
constexpr wchar_t kMessages[] = L"Messages";

// The spellings are the ones users have always seen, "Soom to" and "deliting" too.
const LanguageText kTable[] = {
    {kMenu, L"FindObject", L"Find Object", Entry(L"FindMI")},
    {kMenu, L"ContextMenu", L"Context menu", Entry(L"Contextmenu1")},
    {kMenu, L"NewItem", L"New item", Entry(L"NewMI")},
    {kMenu, L"NewGroup", L"New Group", Entry(L"NewGroupMI")},
    {kMenu, L"NewSeparator", L"New Separator", Entry(L"NewSepMI")},
    {kMenu, L"Cut", L"Cut", Entry(L"Cut")},
    {kMenu, L"Copy", L"Copy", Entry(L"Copy1")},
    {kMenu, L"Paste", L"Paste", Entry(L"Paste1")},
    {kMenu, L"Delete", L"Delete", Entry(L"DelMI")},
    {kMenu, L"Properties", L"Properties", Entry(L"PropMI"), CaptionOf(TextForm::TForm4)},
    {kMenu, L"Settings", L"Settings", Entry(L"SettingsMI"), CaptionOf(TextForm::TForm5)},
    {kMenu, L"About", L"About", Entry(L"AboutMI")},
    {kMenu, L"Close", L"Close", Entry(L"CloseMI")},

    {kProperties, L"AsVistaMenu", L"As menu in Vista style", Properties(kCheckBox2)},
    {kProperties, L"AsMenu", L"As popup menu", Properties(kCheckBox1)},
    {kProperties, L"Type", L"Type", Properties(kLabel4)},
    {kProperties, L"Object", L"Object", Properties(kLabel1)},
    {kProperties, L"Param", L"Param", Properties(kLabel5)},
    {kProperties, L"Caption", L"Caption", Properties(kLabel2)},
    {kProperties, L"Run", L"Run", Properties(kLabel3)},
    {kProperties, L"Cancel", L"Cancel", Properties(kButton6)},
    {kProperties, L"ChangeIcon", L"Change Icon", Properties(kButton4)},
    {kProperties, L"DefaultIcon", L"Default Icon", Properties(kButton5)},

    {kSettings, L"Cancel", L"Cancel", Settings(form5::kButton1)},
    {kSettings, L"Apply", L"Apply", Settings(form5::kButton3)},
    {kSettings, L"Tab0", L"Appearance", Tab(form5::kAppearanceTab)},
    {kSettings, L"Tab1", L"Position", Tab(form5::kPositionTab)},
    {kSettings, L"Tab2", L"Effects", Tab(form5::kEffectsTab)},
    {kSettings, L"Tab3", L"Indexing", Tab(form5::kIndexingTab)},
    {kSettings, L"Tab4", L"Advanced", Tab(form5::kAdvancedTab)},
    {kSettings, L"Theme", L"Theme", Settings(form5::kGroupBox1)},
    {kSettings, L"Color", L"Color", Settings(form5::kCheckBox11)},
    {kSettings, L"Author", L"Author", Settings(form5::kLabel12)},
    {kSettings, L"UseHandCursor", L"Use cursor in web-style", Settings(form5::kCheckBox10)},
    {kSettings, L"DisplayCaptions", L"Display captions (if theme doesn't contain captions)",
     Settings(form5::kCheckBox4)},
    // After Tab1: the Position page's caption is this one.
    {kSettings, L"Position", L"Position", Tab(form5::kPositionTab)},
    {kSettings, L"SlideInDelay", L"Slide In delay", Settings(form5::kLabel8)},
    {kSettings, L"SubmenuSlideInDelay", L"Slide In delay for submenus", Settings(form5::kLabel5)},
    {kSettings, L"InsteadOfStartMenu", L"Instead of Start menu (Win XP/2000 only)", Settings(form5::kRadioButton3)},
    {kSettings, L"HideFromScreen", L"Hide Zarvo Completely (show if mouse on the edge of the screen)",
     Settings(form5::kCheckBox12)},
    {kSettings, L"Transparency", L"Transparency", Settings(form5::kLabel3)},
    {kSettings, L"SlideInSpeed", L"Slide in speed", Settings(form5::kLabel6)},
    {kSettings, L"SlideOutSpeed", L"Slide out speed", Settings(form5::kLabel7)},
    {kSettings, L"Mouseentereffect", L"Mouse enter effect", Settings(form5::kLabel1)},
    {kSettings, L"Showmenueffect", L"Show menu effect", Settings(form5::kLabel2)},
    {kSettings, L"Mouseclickeffect", L"Mouse click effect", Settings(form5::kLabel11)},
    {kSettings, L"ZoomTo", L"Soom to", Settings(form5::kLabel9)},
    {kSettings, L"Sound", L"Sound", Settings(form5::kGroupBox4)},
    {kSettings, L"PlaySoundMouseMove", L"Play sound then mouse move", Settings(form5::kCheckBox5)},
    {kSettings, L"PlaySoundMouseClick", L"Play sound then mouse click", Settings(form5::kCheckBox6)},
    {kSettings, L"IndexNote",
     L"Add folders which you wish to include in index for a fast search (Note: speed of search depends on the "
     L"amount of files)",
     Settings(form5::kIndexNotelbl)},
    {kSettings, L"Add", L"Add...", Settings(form5::kAddToIndexBtn)},
    {kSettings, L"Delete", L"Delete", Settings(form5::kDelIndexBtn)},
    {kSettings, L"OnStartIndexing", L"Indexing on  Zarvo startup", Settings(form5::kIndexOnStartCB)},
    {kSettings, L"SlideOutAfterRun", L"Slide out after object starting", Settings(form5::kCheckBox2)},
    {kSettings, L"DoubleClickRun", L"Start object in double click", Settings(form5::kCheckBox3)},
    {kSettings, L"LoadingAtStartup", L"Load Zarvo at Windows startup", Settings(form5::kCheckBox1)},
    {kSettings, L"SlideOnClick", L"Slide in only on mouse click", Settings(form5::kCheckBox9)},
    {kSettings, L"HideWarning", L"Hide warning dialog at object deliting", Settings(form5::kCheckBox13)},
    {kSettings, L"Language", L"Language", Settings(form5::kGroupBox3)},
    {kSettings, L"DisableAnimation", L"Disable animation", Settings(form5::kCheckBox8)},
    {kSettings, L"DisableTab", L"Disable tab", Settings(form5::kCheckBox14)},
    {kSettings, L"DisableAnimationIfSubMenu", L"Disable animation of item which has submenu (for speed)",
     Settings(form5::kCheckBox7)},
    {kSettings, L"WeatherForecast", L"Weather Forecast", Settings(form5::kWeatherBox)},
    {kSettings, L"Code", L"Code", Settings(form5::kLabel15)},
    {kSettings, L"Day", L"Day", Settings(form5::kLabel17)},
    {kSettings, L"F", L"English", Settings(form5::kRadioButton5)},
    {kSettings, L"C", L"Metric", Settings(form5::kRadioButton6)},
    {kSettings, L"SlideOutOnMouseLeave", L"Slide out only on mouse leaving", Settings(form5::kRollOutOnMouseOutCB)},

    {kMessages, L"1", L"Do You really wish to remove a link \"%s\"?", Message(kRemoveLink)},
    {kMessages, L"2", L"Do You really wish to remove a group \"%s\"?", Message(kRemoveGroup)},
    // The trailing blank belongs to the text: the separator's question cuts the last
    // six characters ("%s"? and the blank).
    {kMessages, L"3", L"Do You really wish to remove an object \"%s\"? ", Message(kRemoveObject)},
};

template <class Matches> std::wstring_view LastDefault(Matches matches) {
    std::wstring_view found;
    for (const LanguageText& row : kTable)
        if (matches(row.target) || matches(row.also)) found = row.english;
    return found;
}

}  // namespace

std::wstring DecodeLanguageText(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return *Utf8(bytes.substr(3), false);
    if (StartsWith(bytes, "\xFF\xFE")) return Utf16(bytes.substr(2), false);
    if (StartsWith(bytes, "\xFE\xFF")) return Utf16(bytes.substr(2), true);
    if (std::optional<std::wstring> text = Utf8(bytes, true)) return *std::move(text);
    return ui::AnsiToWide(bytes);
}

const std::wstring* LanguageFile::Value(std::wstring_view section, std::wstring_view key) const {
    const auto keys = sections_.find(Fold(section));
    if (keys == sections_.end()) return nullptr;
    const auto value = keys->second.find(Fold(key));
    return value == keys->second.end() ? nullptr : &value->second;
}

std::size_t LanguageFile::KeyCount() const noexcept {
    std::size_t count = 0;
    for (const auto& [name, keys] : sections_) count += keys.size();
    return count;
}

LanguageFile::Keys* LanguageFile::Section(std::wstring_view name) {
    auto [where, added] = sections_.try_emplace(Fold(name));
    return added ? &where->second : nullptr;
}

LanguageFile ParseLanguageText(std::wstring_view text) {
    LanguageFile file;
    LanguageFile::Keys* keys = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        ParseLine(text.substr(start, end - start), file, keys);
        start = end + 1;
    }
    return file;
}

LanguageFile ReadLanguageFile(const std::wstring& path) {
    const std::optional<std::string> bytes = ui::ReadFileBytes(path, kMaxLanguageFileBytes);
    return bytes ? ParseLanguageFile(*bytes) : LanguageFile{};
}

bool IsLanguageName(std::wstring_view name) {
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring_view::npos &&
           name.find(L"..") == std::wstring_view::npos;
}

std::wstring LanguageFilePath(const std::wstring& appDir, std::wstring_view name) {
    return appDir + L"languages\\" + std::wstring(name) + L".ini";
}

std::span<const LanguageText> LanguageTable() { return kTable; }

std::wstring_view DefaultControlText(TextForm form, int id) {
    return LastDefault(
        [&](const TextTarget& t) { return t.kind == TextTarget::Control && t.form == form && t.id == id; });
}

std::wstring_view DefaultEntryCaption(std::wstring_view entry) {
    return LastDefault([&](const TextTarget& t) { return t.kind == TextTarget::MenuEntry && t.entry && t.entry == entry; });
}

std::wstring_view DefaultTabCaption(int tab) {
    return LastDefault([&](const TextTarget& t) { return t.kind == TextTarget::Tab && t.id == tab; });
}

std::wstring_view DefaultMessage(MessageField field) {
    return LastDefault([&](const TextTarget& t) { return t.kind == TextTarget::Message && t.id == field; });
}

std::wstring_view DefaultWindowCaption(TextForm form) {
    return LastDefault([&](const TextTarget& t) { return t.kind == TextTarget::WindowCaption && t.form == form; });
}

const std::array<LanguageList, kListCount>& LanguageLists() {
    static const std::array<LanguageList, kListCount> lists{{
        {L"Types", L"Type", TextForm::TForm4, kComboBox1, std::span(TypeCaptions).first(kPluginType), false},
        {L"Run", L"Run", TextForm::TForm4, kComboBox2, ShowCaptions, false},
        {L"Effects3", L"Effect", TextForm::TForm5, form5::kComboBox3, ClickEffects, true},
        {L"Effects1", L"Effect", TextForm::TForm5, form5::kComboBox1, MouseEnterEffects, true},
        {L"Effects2", L"Effect", TextForm::TForm5, form5::kComboBox2, MenuEffects, true},
    }};
    return lists;
}

LanguageTexts ResolveLanguage(const LanguageFile& file) {
    LanguageTexts out;
    out.texts.reserve(std::size(kTable));
    // An empty menu entry or button cannot be read: an empty value counts as missing.
    for (const LanguageText& row : kTable) {
        const std::wstring* value = file.Value(row.section, row.key);
        const bool given = value && !value->empty();
        out.texts.emplace_back(given ? std::wstring_view(*value) : std::wstring_view(row.english));
    }
    const auto& lists = LanguageLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        const LanguageList& list = lists[i];
        std::vector<const std::wstring*> values;
        bool present = false;
        for (size_t n = 1; n <= list.lines.size(); ++n) {
            values.push_back(file.Value(list.section, list.prefix + std::to_wstring(n)));
            present = present || values.back();
        }
        // Any other key in the section does not make it a list: a stray key would
        // otherwise empty every row.
        if (!present) continue;
        std::vector<std::wstring>& rows = out.lists[i].emplace();
        for (size_t n = 0; n < values.size(); ++n) {
            if (values[n]) rows.push_back(*values[n]);
            else if (list.numberedFallback) rows.push_back(L"Effect " + std::to_wstring(n + 1));
            else rows.emplace_back(list.lines[n]);
        }
    }
    return out;
}

}  // namespace dialogs
