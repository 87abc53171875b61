// The settings dialog's rules without windows: how a stored setting shows in its
// control and back, and the rows of the skin and language lists.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace dialogs {

// One row of the skin or the language list.
struct TData {
    std::wstring Name;      // the skin's folder, or the language file without ".ini"
    std::wstring Author;    // [Info] Autor
    std::wstring Comments;  // [Info] Comments of a skin; empty for a language
};

// The effect lists' English lines; an effect's index is its setting.
extern const std::array<std::wstring_view, 4> MouseEnterEffects;  // OnMouse
extern const std::array<std::wstring_view, 6> ClickEffects;       // OnClick
extern const std::array<std::wstring_view, 7> MenuEffects;        // Menu

// The folder names under the program folder.
inline constexpr wchar_t kThemesFolder[] = L"Themes\\";
inline constexpr wchar_t kLanguagesFolder[] = L"Languages\\";

// A value as a control with this range shows it: clamped, with whether the stored
// value fitted (only then may Apply store the control's value unasked).
struct ShownValue {
    int position = 0;
    bool fits = true;
};
ShownValue ShowInRange(int wanted, int minimum, int maximum);

// The speed bars run against the speed; the delay bars count tenths of a second,
// rounded half to even.
inline constexpr int kSpeedBarMax = 30;
inline int SpeedToBar(int speed) { return kSpeedBarMax - speed; }
inline int BarToSpeed(int position) { return kSpeedBarMax - position; }
int DelayToBar(int ms);
inline int BarToDelay(int position) { return position * 100; }

// The rows of the skin folders of `folder` (skins) or of its ".ini" files
// (languages, the extension compared case-sensitively and cut), sorted by name
// ignoring case so the order is the same on every file system. A missing folder
// has none.
std::vector<TData> ListSkins(const std::wstring& folder);
std::vector<TData> ListLanguages(const std::wstring& folder);
// The row whose name equals `name` (case-sensitive); -1 for none.
int RowNamed(const std::vector<TData>& rows, const std::wstring& name);

}  // namespace dialogs
