// String conversion, strict number parsing and the one safe "%s" formatter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// The ANSI code page: only where an interface fixes 8-bit text.
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
// The ANSI bytes of a text, or nothing when the code page cannot hold every character
// of it (a best-fit or default character would name another file).
std::optional<std::string> WideToAnsiExact(std::wstring_view text);

// Text files the user may also edit (index.txt, Index.dat): ANSI byte for byte while
// the code page holds every character, otherwise the whole text as UTF-8 behind a
// byte-order mark. The reader takes a UTF-8 or UTF-16LE mark, else ANSI.
std::string EncodeMarkedText(std::wstring_view text);
std::wstring DecodeMarkedText(std::string_view bytes);

// Decimal with an optional sign, 32-bit range; anything else is malformed.
std::optional<std::int32_t> ParseInt(std::wstring_view text);
// A real number with "." as the decimal point, whatever the user's locale.
std::optional<double> ParseReal(std::wstring_view text);
std::wstring IntToStr(long long value);

// Without leading and trailing blanks, tabs and line breaks.
std::wstring_view TrimSpaces(std::wstring_view text);

// Puts the argument in place of the template's first "%s" and turns "%%" into "%";
// every other character stays as it is (a second "%s" too: there is no second
// argument), so text from files or users is never a format string.
std::wstring FormatS(std::wstring_view pattern, std::wstring_view argument);

// Half to even, as the launcher's geometry and colour rules round.
double RoundEven(double value);

}  // namespace ui
