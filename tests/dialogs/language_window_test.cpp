// Language files over the real windows: every keyed text reaches its target, the
// lists, the dialog buttons' Vista rule, a corpus of bad files that must leave the
// English texts, the delete question and the settings dialog's Apply.
#include "form5_fixture.h"

#include "dialogs/form4.h"
#include "dialogs/language.h"
#include "popups/zv_hint.h"
#include "support/program_folder.h"
#include "support/tooltip_text.h"
#include "ui/files.h"
#include "ui/glyph_button.h"
#include "ui/strings.h"

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using dialogs::TextForm;
using dialogs::TextTarget;
using Values = std::map<std::wstring, std::wstring>;  // "Section.Key" -> text
using Rows = std::vector<std::wstring>;

constexpr char kBom[] = "\xEF\xBB\xBF";

std::string Utf16Le(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string Utf16Be(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c >> 8));
        bytes.push_back(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

// A text for a failure message: a 200,000-character value would drown it.
std::string Short(const std::wstring& text) {
    // Appended piece by piece: GCC 12 warns falsely on a literal + string temporary.
    std::string shown(1, '"');
    shown += ui::WideToUtf8(text.size() <= 60 ? text : text.substr(0, 60));
    if (text.size() <= 60) return shown += '"';
    shown += "...\" (";
    shown += std::to_string(text.size());
    return shown += " characters)";
}

Rows ComboRows(HWND combo) {
    Rows rows;
    for (int i = 0; i < ui::ComboCount(combo); ++i) rows.push_back(ui::ComboItemText(combo, i));
    return rows;
}

class LanguageTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        Start();
    }

    void Load(const std::wstring& name) { core::ZVHint->LoadLanguage(name); }
    // Writes languages\<name>.ini and loads it, as the settings dialog's Apply does.
    void Load(const std::wstring& name, std::string_view bytes) {
        folder.WriteFile(L"languages\\" + name + L".ini", bytes);
        Load(name);
    }

    HWND ControlOf(TextForm form, int id) {
        return form == TextForm::TForm4 ? core::Form4->Control(id) : core::Form5->Control(id);
    }
    HWND Properties(int id) { return core::Form4->Control(id); }

    std::wstring TabCaption(int tab) {
        wchar_t text[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        SendMessageW(Control(dialogs::form5::kPageControl1), TCM_GETITEMW, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    // What a target shows now; a glyph-only button shows its text as its tooltip.
    std::wstring Shown(const TextTarget& target) {
        switch (target.kind) {
        case TextTarget::MenuEntry: return Main().PopupMenu1.Item(target.entry).Caption;
        case TextTarget::Control: {
            HWND control = ControlOf(target.form, target.id);
            return ui::GlyphOnly(control) ? testing_support::TooltipText(control) : ui::ControlText(control);
        }
        case TextTarget::WindowCaption:
            return ui::ControlText(target.form == TextForm::TForm4 ? core::Form4->Handle() : core::Form5->Handle());
        case TextTarget::Tab: return TabCaption(target.id);
        case TextTarget::Message: {
            const core::MessageTexts& m = Main().Messages;
            return target.id == dialogs::kRemoveLink ? m.RemoveLink
                   : target.id == dialogs::kRemoveGroup ? m.RemoveGroup
                                                        : m.RemoveObject;
        }
        case TextTarget::None: break;
        }
        return L"<no target>";
    }

    // Every target shows the value `values` gives its row, or its default; where two
    // rows name one target, the later row's text.
    void ExpectTexts(const Values& values, const std::string& label) {
        struct Expected {
            const TextTarget* target;
            std::wstring key;
            std::wstring text;
        };
        std::map<std::wstring, Expected> expected;
        for (const dialogs::LanguageText& row : dialogs::LanguageTable()) {
            const std::wstring key = std::wstring(row.section) + L"." + row.key;
            const auto given = values.find(key);
            const std::wstring text = given != values.end() ? given->second : row.english;
            for (const TextTarget* target : {&row.target, &row.also}) {
                if (target->kind == TextTarget::None) continue;
                const std::wstring id = std::to_wstring(target->kind) + L"/" +
                                        std::to_wstring(static_cast<int>(target->form)) + L"/" +
                                        std::to_wstring(target->id) + L"/" + (target->entry ? target->entry : L"");
                expected[id] = Expected{target, key, text};
            }
        }
        for (const auto& [id, e] : expected) {
            const std::wstring shown = Shown(*e.target);
            EXPECT_TRUE(shown == e.text) << label << ": " << ui::WideToUtf8(e.key) << " shows " << Short(shown)
                                         << ", not " << Short(e.text);
        }
    }

    // Nothing lost: the context menu's entries and every list's rows.
    void ExpectShapes(const std::string& label) {
        EXPECT_EQ(Main().PopupMenu1.Count(), 20u) << label;
        EXPECT_EQ(ui::ComboCount(Properties(dialogs::kComboBox1)), dialogs::kTypeListCount) << label;
        EXPECT_EQ(ui::ComboCount(Properties(dialogs::kComboBox2)), 3) << label;
        EXPECT_EQ(ui::ComboCount(Control(dialogs::form5::kComboBox1)), 4) << label;
        EXPECT_EQ(ui::ComboCount(Control(dialogs::form5::kComboBox2)), 7) << label;
        EXPECT_EQ(ui::ComboCount(Control(dialogs::form5::kComboBox3)), 6) << label;
    }
};

TEST_F(LanguageTest, EveryKeyReachesItsTargetAndAMissingFileGivesEveryDefault) {
    std::string file = kBom;
    Values values;
    std::wstring section;
    for (const dialogs::LanguageText& row : dialogs::LanguageTable()) {
        if (section != row.section) {
            section = row.section;
            (file += '[') += ui::WideToUtf8(section);
            file += "]\r\n";
        }
        const std::wstring value = section + L"." + row.key + L"!";
        file += ui::WideToUtf8(row.key) + "=" + ui::WideToUtf8(value) + "\r\n";
        values[section + L"." + row.key] = value;
    }
    Load(L"All", file);
    ExpectTexts(values, "every key");
    Load(L"Missing");
    ExpectTexts({}, "a missing file");
    ExpectShapes("a missing file");
}

TEST_F(LanguageTest, ListsTakeTheFileAndFillMissingRowsAsTheFormDoes) {
    Main().Settings.OnMouse = 2;
    Main().Settings.OnClick = 9;  // out of range
    ui::SetComboIndex(Properties(dialogs::kComboBox2), 1);
    Load(L"Lists", "[Types]\r\nType1=Eins\r\n[Run]\r\nrun3=Gross\r\n[Effects1]\r\nEffect1=Erst\r\n"
                   "[Effects3]\r\nEffect6=\r\n");
    const Rows types{L"Eins",    L"Disc Or Folder", L"My Computer",   L"My Documents", L"Resycle Bin",
                     L"Desktop", L"Control Panel",  L"Log Out",       L"Shutdown",     L"Restart",
                     L"System...", L"Connecions...", L"Run",          L"Weather",      L"Plugin"};
    EXPECT_EQ(ComboRows(Properties(dialogs::kComboBox1)), types);
    EXPECT_EQ(ComboRows(Properties(dialogs::kComboBox2)), (Rows{L"Normal", L"Minimized", L"Gross"}));
    EXPECT_EQ(ui::ComboIndex(Properties(dialogs::kComboBox2)), 1) << "the window mode stays chosen";
    EXPECT_EQ(ComboRows(Control(dialogs::form5::kComboBox1)), (Rows{L"Erst", L"Effect 2", L"Effect 3", L"Effect 4"}));
    EXPECT_EQ(ui::ComboIndex(Control(dialogs::form5::kComboBox1)), 2);
    EXPECT_EQ(ComboRows(Control(dialogs::form5::kComboBox3)),
              (Rows{L"Effect 1", L"Effect 2", L"Effect 3", L"Effect 4", L"Effect 5", L""}))
        << "a list value stays as the file gives it, empty too";
    EXPECT_EQ(ui::ComboIndex(Control(dialogs::form5::kComboBox3)), -1);
    const Rows menuEffects = ComboRows(Control(dialogs::form5::kComboBox2));
    EXPECT_EQ(menuEffects.front(), L"No effect") << "a missing section leaves the form's lines";

    // A later file without the lists, or whose list sections hold no numbered key of
    // their own, leaves them as the first file filled them.
    Load(L"NoLists", "[Menu]\r\nCut=Snip\r\n[Types]\r\nStray=x\r\nType0=y\r\nType15=z\r\n[Effects1]\r\nEffect=q\r\n");
    EXPECT_EQ(ComboRows(Properties(dialogs::kComboBox1)), types);
    EXPECT_EQ(ComboRows(Properties(dialogs::kComboBox2)), (Rows{L"Normal", L"Minimized", L"Gross"}));
    EXPECT_EQ(ComboRows(Control(dialogs::form5::kComboBox1)), (Rows{L"Erst", L"Effect 2", L"Effect 3", L"Effect 4"}));
    EXPECT_EQ(ComboRows(Control(dialogs::form5::kComboBox2)), menuEffects);
    EXPECT_EQ(Main().PopupMenu1.Item(L"Cut").Caption, L"Snip");
}

TEST_F(LanguageTest, PositionWinsOverTab1) {
    Load(L"Both", "[Settings]\r\nTab1=Lage\r\nPosition=Ort\r\n");
    EXPECT_EQ(TabCaption(dialogs::form5::kPositionTab), L"Ort");
    Load(L"Tab1", "[Settings]\r\nTab1=Lage\r\n");
    EXPECT_EQ(TabCaption(dialogs::form5::kPositionTab), L"Position") << "Position's default follows Tab1";
}

TEST_F(LanguageTest, PropertiesButtonsShowGlyphsWithHintsFromVistaOnAndCaptionsBefore) {
    for (const bool vista : {true, false, true}) {
        UseVista(vista);
        Load(L"Cancel", "[Properties]\r\nCancel=Abbrechen\r\n");
        HWND ok = Properties(dialogs::kButton3);
        HWND cancel = Properties(dialogs::kButton6);
        EXPECT_EQ(ui::GlyphOnly(ok), vista);
        EXPECT_EQ(ui::GlyphOnly(cancel), vista);
        if (vista) {
            EXPECT_EQ(ui::ControlText(ok), L"");
            EXPECT_EQ(ui::ControlText(cancel), L"");
            EXPECT_EQ(testing_support::TooltipText(ok), L"OK");
            EXPECT_EQ(testing_support::TooltipText(cancel), L"Abbrechen");
        } else {
            EXPECT_EQ(ui::ControlText(ok), L"OK");
            EXPECT_EQ(ui::ControlText(cancel), L"Abbrechen");
        }
    }
}

TEST_F(LanguageTest, BadFilesNeverCrashAndWhatCannotBeReadStaysEnglish) {
    const std::string snip = "[Menu]\r\nCut=Snip\r\n";
    const std::wstring cyrillic = L"[Menu]\r\nCut=Вырезать\r\n[Messages]\r\n1=Удалить ярлык \"%s\"?\r\n";
    const Values cyrillicValues{{L"Menu.Cut", L"Вырезать"}, {L"Messages.1", L"Удалить ярлык \"%s\"?"}};
    std::string noise(64 * 1024, '\0');
    std::mt19937 random(17);
    for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
    struct Fixture {
        const char* name;
        std::wstring language;
        std::optional<std::string> bytes;  // nothing: no file
        Values values;                     // every other text is its default
        bool textsUnknown = false;
    };
    const Fixture fixtures[] = {
        {"a missing file", L"Missing", std::nullopt, {}},
        {"an empty name", L"", snip, {}},
        {"a name leaving the folder", L"..\\x", snip, {}},
        {"a name with a drive", L"C:x", std::nullopt, {}},
        {"a 0-byte file", L"x", "", {}},
        {"a mark alone", L"x", kBom, {}},
        {"Cyrillic in UTF-8 with a mark", L"x", kBom + ui::WideToUtf8(cyrillic), cyrillicValues},
        {"Cyrillic in UTF-8 without one", L"x", ui::WideToUtf8(cyrillic), cyrillicValues},
        {"Cyrillic in UTF-16LE", L"x", "\xFF\xFE" + Utf16Le(cyrillic), cyrillicValues},
        {"Cyrillic in UTF-16BE", L"x", "\xFE\xFF" + Utf16Be(cyrillic), cyrillicValues},
        {"high-bit bytes that are not UTF-8", L"x", "[Menu]\r\nCut=Caf\xE9s\r\n",
         {{L"Menu.Cut", ui::AnsiToWide("Caf\xE9s")}}},
        {"UTF-16LE without a mark", L"x", Utf16Le(L"[Menu]\r\nCut=Snip\r\n"), {}},
        {"cut off at an odd UTF-16 byte", L"x", "\xFF\xFE" + Utf16Le(L"[Menu]\r\nCopy=Dup\r\nCut=Snip") + "A",
         {{L"Menu.Copy", L"Dup"}, {L"Menu.Cut", L"Snip"}}},
        {"cut off inside a UTF-8 sequence", L"x", kBom + "[Menu]\r\nCut=Sn\xD0"s, {{L"Menu.Cut", L"Sn"}}},
        {"a last line cut in its value", L"x", "[Menu]\r\nFindObject=Fi", {{L"Menu.FindObject", L"Fi"}}},
        {"a last line cut in a header", L"x", snip + "[Sett", {{L"Menu.Cut", L"Snip"}}},
        {"a 200,000-character line", L"x", "[Menu]\r\nFindObject=" + std::string(200000, 'F') + "\r\nCut=Snip\r\n",
         {{L"Menu.Cut", L"Snip"}}},
        {"a 2 MiB file", L"x", snip + ";" + std::string(2 * 1024 * 1024, 'x'), {}},
        {"no [Menu]", L"x", "Cut=Snip\r\n[Settings]\r\nApply=Go\r\n", {{L"Settings.Apply", L"Go"}}},
        {"an unclosed header", L"x", "[Settings]\r\nApply=Go\r\n[Menu\r\nCancel=Nope\r\nCut=Snip\r\n",
         {{L"Settings.Apply", L"Go"}}},
        {"lines without \"=\" or without a key", L"x", "[Menu]\r\nCut\r\n=x\r\n  = y\r\nCopy=Dup\r\n",
         {{L"Menu.Copy", L"Dup"}}},
        {"duplicate keys and sections", L"x",
         "[Menu]\r\nCut=First\r\nCUT=Second\r\n[menu]\r\nCopy=Later\r\n[Settings]\r\nApply=Go\r\n",
         {{L"Menu.Cut", L"First"}, {L"Settings.Apply", L"Go"}}},
        {"blanks and quotes", L"x", "[ Menu ] \r\n  cut = \"Schnitt\" \r\ncopy='Kopie'\r\nPaste=\"Ein'\r\n",
         {{L"Menu.Cut", L"Schnitt"}, {L"Menu.Copy", L"Kopie"}, {L"Menu.Paste", L"\"Ein'"}}},
        {"empty values", L"x", "[Menu]\r\nCut=\r\nCopy=\"\"\r\n", {}},
        {"comments and text after \"]\"", L"x", "[Menu] more\r\n;Cut=Nope\r\nCopy=Dup\r\n", {{L"Menu.Copy", L"Dup"}}},
        {"invalid UTF-8 after a mark", L"x", kBom + "[Menu]\r\nCut=a\xFF" "b\r\n"s, {{L"Menu.Cut", L"a\uFFFDb"}}},
        {"a line holding U+0000", L"x", "[Menu]\r\nCut=Sn\0ip\r\nCopy=Dup\r\n"s, {{L"Menu.Copy", L"Dup"}}},
        {"64 KiB of random bytes", L"x", noise, {}, true},
    };
    for (const Fixture& f : fixtures) {
        if (f.bytes) folder.WriteFile(L"languages\\" + f.language + L".ini", *f.bytes);
        Load(f.language);
        ExpectShapes(f.name);
        if (!f.textsUnknown) ExpectTexts(f.values, f.name);
        if (f.bytes) folder.Remove(L"languages\\" + f.language + L".ini");
    }
}

TEST_F(LanguageTest, MessagesAreNeverFormatStrings) {
    UseVista(false);  // the question through the message-box seam
    Load(L"Percent", "[Messages]\r\n1=%d %n %x \"%s\" %s %%\r\n");
    boxes.clear();
    EXPECT_FALSE(Main().DeleteItem(0, false));
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"%d %n %x \"one\" %s %"}));
}

TEST_F(LanguageTest, ApplyTranslatesAtOnceAndAfterARestart) {
    UseVista(false);
    const std::wstring shipped = testing_support::DistDir() + L"languages\\German.ini";
    folder.CopyFileIn(shipped, L"languages\\German.ini");
    folder.CopyFileIn(testing_support::DistDir() + L"languages\\English.ini", L"languages\\English.ini");
    const dialogs::LanguageFile german = dialogs::ReadLanguageFile(shipped);
    auto text = [&](const wchar_t* section, const wchar_t* key) {
        const std::wstring* value = german.Value(section, key);
        return value ? *value : L"<missing " + std::wstring(key) + L">";
    };
    const std::wstring settingsTitle = text(L"Menu", L"Settings");
    ASSERT_NE(settingsTitle, L"Settings");

    RunSettings({
        [&] {
            const int row = dialogs::RowNamed(Dialog().LanguageRows, L"German");
            ASSERT_GE(row, 0);
            Pick(dialogs::form5::kLangComboBox, row);
            Apply();
        },
        [&] {
            EXPECT_EQ(ui::ControlText(Dialog().Handle()), settingsTitle);
            EXPECT_EQ(TabCaption(dialogs::form5::kAdvancedTab), text(L"Settings", L"Tab4"));
            EXPECT_EQ(TabCaption(dialogs::form5::kPositionTab), text(L"Settings", L"Position"));
            EXPECT_EQ(Text(dialogs::form5::kButton3), text(L"Settings", L"Apply"));
            EXPECT_EQ(Text(dialogs::form5::kButton1), text(L"Settings", L"Cancel"));
            Cancel();
        },
    });
    EXPECT_EQ(General(L"Language"), L"German");
    EXPECT_EQ(Main().PopupMenu1.Item(L"Cut").Caption, text(L"Menu", L"Cut"));
    boxes.clear();
    Main().DeleteItem(0, false);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{ui::FormatS(text(L"Messages", L"1"), L"one")}));

    core::DestroyForms();
    core::CreateForms();
    EXPECT_EQ(Main().PopupMenu1.Item(L"Cut").Caption, text(L"Menu", L"Cut"));
    EXPECT_EQ(ui::ControlText(core::Form5->Handle()), settingsTitle);
    EXPECT_EQ(ui::ControlText(core::Form4->Handle()), text(L"Menu", L"Properties"));
    EXPECT_EQ(ui::ControlText(Properties(dialogs::kLabel4)), text(L"Properties", L"Type"));
    EXPECT_EQ(ui::ComboItemText(Properties(dialogs::kComboBox1), 0), text(L"Types", L"Type1"));

    // Back to English through its file: the lists follow too.
    Load(L"English");
    ExpectTexts({}, "English.ini");
    EXPECT_EQ(ui::ComboItemText(Properties(dialogs::kComboBox1), 0), L"Link");
    EXPECT_EQ(ui::ComboItemText(Control(dialogs::form5::kComboBox2), 1), L"Fade In");
}

}  // namespace
