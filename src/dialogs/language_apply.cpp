// ApplyLanguage: a language's texts into the context menu, both dialogs and the
// delete questions.
#include "dialogs/language.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "ui/controls.h"
#include "ui/glyph_button.h"

#include <commctrl.h>

namespace dialogs {
namespace {

HWND Window(const ui::Form* form) { return form ? form->Handle() : nullptr; }

HWND FormWindow(TextForm form) {
    switch (form) {
    case TextForm::TForm4: return Window(core::Form4);
    case TextForm::TForm5: return Window(core::Form5);
    default: return nullptr;
    }
}

HWND ControlOf(TextForm form, int id) {
    if (form == TextForm::TForm4 && Window(core::Form4)) return core::Form4->Control(id);
    if (form == TextForm::TForm5 && Window(core::Form5)) return core::Form5->Control(id);
    return nullptr;
}

std::wstring* MessageOf(core::MessageTexts& messages, int field) {
    switch (field) {
    case kRemoveLink: return &messages.RemoveLink;
    case kRemoveGroup: return &messages.RemoveGroup;
    case kRemoveObject: return &messages.RemoveObject;
    default: return nullptr;
    }
}

void SetTabCaption(int tab, const std::wstring& text) {
    HWND tabs = ControlOf(TextForm::TForm5, form5::kPageControl1);
    if (!tabs) return;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}

void Write(const TextTarget& target, const std::wstring& text) {
    switch (target.kind) {
    case TextTarget::MenuEntry:
        if (core::Form1) core::Form1->PopupMenu1.Item(target.entry).Caption = text;
        return;
    case TextTarget::Control:
        if (HWND control = ControlOf(target.form, target.id)) ui::SetControlText(control, text);
        return;
    case TextTarget::WindowCaption:
        if (HWND window = FormWindow(target.form)) SetWindowTextW(window, text.c_str());
        return;
    case TextTarget::Tab: SetTabCaption(target.id, text); return;
    case TextTarget::Message:
        if (!core::Form1) return;
        if (std::wstring* field = MessageOf(core::Form1->Messages, target.id)) *field = text;
        return;
    case TextTarget::None: return;
    }
}

// On Vista and later the two buttons show their glyphs alone, with the hints "OK"
// (fixed) and the Cancel text, which the table's row then sets through the tooltip.
void PlaceDialogButtons(TForm4& form, bool vistaOrLater) {
    HWND ok = form.Control(kButton3);
    ui::SetGlyphOnly(ok, vistaOrLater);
    ui::SetGlyphOnly(form.Control(kButton6), vistaOrLater);
    ui::SetControlText(ok, L"OK");
}

// The row an effect list selects: its setting; out of range selects none.
int EffectSetting(int list) {
    const core::Settings& s = core::Form1->Settings;
    switch (list) {
    case kClickEffectsList: return s.OnClick;
    case kEnterEffectsList: return s.OnMouse;
    case kMenuEffectsList: return s.Menu;
    default: return -1;
    }
}

void ApplyList(int list, const std::vector<std::wstring>& rows) {
    if (list == kTypesList) {
        if (!Window(core::Form4)) return;
        std::array<std::wstring, kPluginType> captions;
        for (size_t i = 0; i < captions.size() && i < rows.size(); ++i) captions[i] = rows[i];
        core::Form4->SetTypeCaptions(captions);
        return;
    }
    const LanguageList& shape = LanguageLists()[static_cast<size_t>(list)];
    HWND combo = ControlOf(shape.form, shape.id);
    if (!combo) return;
    const int selected = list == kRunList ? ui::ComboIndex(combo) : core::Form1 ? EffectSetting(list) : -1;
    ui::SetComboItems(combo, rows);
    ui::SetComboIndex(combo, selected < static_cast<int>(rows.size()) ? selected : -1);
}

}  // namespace

void ApplyLanguage(const LanguageTexts& texts) {
    if (Window(core::Form4)) PlaceDialogButtons(*core::Form4, core::VistaOrLater);
    const std::span<const LanguageText> table = LanguageTable();
    for (size_t i = 0; i < table.size() && i < texts.texts.size(); ++i) {
        Write(table[i].target, texts.texts[i]);
        Write(table[i].also, texts.texts[i]);
    }
    for (size_t list = 0; list < texts.lists.size(); ++list)
        if (texts.lists[list]) ApplyList(static_cast<int>(list), *texts.lists[list]);
}

}  // namespace dialogs
