#include "ui/strings.h"

#include <windows.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace ui {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text); }
std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }
std::string WideToAnsi(std::wstring_view text) { return FromWide(CP_ACP, text); }

std::optional<std::string> WideToAnsiExact(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), n, nullptr,
                        &usedDefault);
    // The flag misses characters that map to another without a default (some code
    // pages fold them); a round trip catches those too.
    if (usedDefault || ToWide(CP_ACP, out) != text) return std::nullopt;
    return out;
}

std::string EncodeMarkedText(std::wstring_view text) {
    if (auto ansi = WideToAnsiExact(text)) return *std::move(ansi);
    return "\xEF\xBB\xBF" + WideToUtf8(text);
}

std::wstring DecodeMarkedText(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToWide(bytes.substr(3));
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        bytes.remove_prefix(2);
        std::wstring out(bytes.size() / 2, L'\0');
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        return out;  // an odd last byte is a truncated character and is dropped
    }
    return AnsiToWide(bytes);
}

std::optional<std::int32_t> ParseInt(std::wstring_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParseReal(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F) return std::nullopt;
        narrow.push_back(static_cast<char>(c));
    }
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

std::wstring_view TrimSpaces(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::wstring IntToStr(long long value) { return std::to_wstring(value); }

std::wstring FormatS(std::wstring_view pattern, std::wstring_view argument) {
    std::wstring out;
    out.reserve(pattern.size() + argument.size());
    bool filled = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] == L'%' && next == L'%') {
            out.push_back(L'%');
            ++i;
        } else if (pattern[i] == L'%' && next == L's' && !filled) {
            out.append(argument);
            filled = true;
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

double RoundEven(double value) { return std::nearbyint(value); }

}  // namespace ui
