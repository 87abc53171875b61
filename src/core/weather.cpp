// The weather request and the reading of its answer, and TForm1::UpdateWeather,
// which brings both together on the GUI thread.
#include "core/weather.h"

#include "core/form1.h"
#include "core/launch.h"
#include "core/motion.h"
#include "ui/application.h"
#include "ui/cursor.h"
#include "ui/handles.h"
#include "ui/message_box.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <algorithm>
#include <vector>

namespace core {

WeatherReport WeatherData;

namespace {

// The program's own partner id and key, sent as the request's "par" and "key".
constexpr std::string_view kPartnerId = "1047305829";
constexpr std::string_view kServiceKey = "7c2e94b06a1fd835";
constexpr size_t kMaxHostLength = 260;

bool IsAsciiAlnum(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// An element's text, spaces around it dropped; empty when the element is missing.
std::wstring TextAt(const std::optional<ui::XmlNode>& parent, std::wstring_view name) {
    if (!parent) return {};
    const std::optional<ui::XmlNode> child = parent->FindChild(name);
    return child ? std::wstring(ui::TrimSpaces(child->Text())) : std::wstring();
}

// The one update that may run: a weather click during the wait does nothing.
bool g_updating = false;

}  // namespace

std::string UnitParams(int degreeType) { return DegreeSymbol(degreeType) == DegreeSymbol(1) ? "m" : "s"; }

bool IsWeatherHost(std::wstring_view host) {
    if (host.empty() || host.size() > kMaxHostLength) return false;
    const size_t colon = host.find(L':');
    const std::wstring_view name = host.substr(0, colon);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](wchar_t c) {
            return IsAsciiAlnum(c) || c == L'.' || c == L'-';
        }))
        return false;
    if (colon == std::wstring_view::npos) return true;
    const std::wstring_view port = host.substr(colon + 1);
    return !port.empty() && port.size() <= 5 && std::all_of(port.begin(), port.end(), IsDigit);
}

std::string WeatherHost() {
    std::vector<wchar_t> value(kMaxHostLength + 2);
    const DWORD length = GetEnvironmentVariableW(L"ZARVO_WEATHER_HOST", value.data(), static_cast<DWORD>(value.size()));
    // A longer value reports the size it needs, which is more than the buffer.
    if (length > 0 && length < value.size()) {
        const std::wstring_view host(value.data(), length);
        if (IsWeatherHost(host)) return ui::WideToUtf8(host);
    }
    return ui::WideToUtf8(kWeatherHost);
}

std::string PercentEncode(std::wstring_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : ui::WideToUtf8(text)) {
        if (IsAsciiAlnum(static_cast<wchar_t>(c)) || c == '.' || c == '_' || c == '~' || c == '-') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded;
}

std::string WeatherRequestUrl(std::string_view host, std::wstring_view weatherCode, int degreeType) {
    std::string url = "http://";
    url += host;
    url += "/weather/local/" + PercentEncode(weatherCode) + "?cc=1&link=xoap&prod=xoap&par=";
    url += kPartnerId;
    url += "&key=";
    url += kServiceKey;
    url += "&unit=" + UnitParams(degreeType) + "&dayf=7";
    return url;
}

bool IsWeatherTemperature(std::wstring_view text) {
    if (!text.empty() && text.front() == L'-') text.remove_prefix(1);
    return !text.empty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsWeatherIconCode(std::wstring_view code) {
    if (code == L"n/a") return true;
    return !code.empty() && code.size() <= 16 &&
           std::all_of(code.begin(), code.end(), [](wchar_t c) { return IsAsciiAlnum(c) || c == L'_' || c == L'-'; });
}

int WeatherDayIndex(int weatherDayOffset) {
    return weatherDayOffset >= 0 && weatherDayOffset <= 6 ? weatherDayOffset : 0;
}

WeatherReport ParseWeather(std::string_view bytes) {
    WeatherReport report;
    for (size_t day = 1; day < report.Temps.size(); ++day) {
        report.Temps[day] = L"<?>";
        report.Icons[day] = L"n/a";
    }
    ui::XmlDocument doc;
    doc.LimitForUntrustedInput();
    if (!doc.LoadBytes(bytes) || !doc.HasRoot()) return report;
    const ui::XmlNode root = doc.Root();
    const std::optional<ui::XmlNode> current = root.FindChild(L"cc");
    std::wstring temperature = TextAt(current, L"tmp");
    std::wstring icon = TextAt(current, L"icon");
    report.Temps[0] = IsWeatherTemperature(temperature) ? temperature : std::wstring();
    report.Icons[0] = IsWeatherIconCode(icon) ? icon : std::wstring();
    const std::optional<ui::XmlNode> forecast = root.FindChild(L"dayf");
    if (!forecast) return report;
    const std::vector<ui::XmlNode> days = forecast->ElementChildren();
    for (size_t day = 1; day < report.Temps.size() && day < days.size(); ++day) {
        temperature = TextAt(days[day], L"hi");
        icon = TextAt(days[day], L"icon");
        if (IsWeatherTemperature(temperature)) report.Temps[day] = temperature;
        if (IsWeatherIconCode(icon)) report.Icons[day] = icon;
    }
    return report;
}

bool TForm1::UpdateWeather() {
    if (g_updating) return false;
    g_updating = true;
    const bool wasAnimating = Animating;
    const bool timerWasRunning = TimerRunning(kTimer1);
    const LPCWSTR cursor = ui::ScreenCursorName();
    Animating = true;
    StopTimer(kTimer1);
    ui::SetScreenCursor(IDC_WAIT);
    ui::ScopeExit restore([&] {
        ui::SetScreenCursor(cursor);
        Animating = wasAnimating;
        // Left off, the menu would never roll out again.
        if (timerWasRunning && Handle()) StartTimer(kTimer1, 300);
        g_updating = false;
    });
    const DownloadResult download = DownloadText(WeatherRequestUrl(WeatherHost(), Settings.WeatherCode, Settings.DegreeType));
    if (download.Status == DownloadStatus::Ending || ui::Application::Instance().Terminated()) return false;
    if (download.Status != DownloadStatus::Ok) {
        ui::SetScreenCursor(cursor);  // the hourglass must not stay over the message
        const wchar_t* text =
            download.Status == DownloadStatus::NoWininet ? L"Unable to initialize Wininet" : L"Cannot open URL";
        ui::ShowMessageBox(Handle(), text, L"Zarvo", MB_OK | MB_ICONERROR);
        return false;
    }
    WeatherData = ParseWeather(download.Body);
    return true;
}

}  // namespace core
