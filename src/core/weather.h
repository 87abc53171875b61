// The weather readout: the request to the service, the download on a worker that
// the GUI thread waits for while it keeps dispatching messages, the reading of the
// answer into WeatherData, and the rules for what network text may become.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Index 0 is the current conditions, 1 to 6 the following days.
struct WeatherReport {
    std::array<std::wstring, 7> Temps;
    std::array<std::wstring, 7> Icons;  // the service's icon codes
};
// The last answer read; kept until the next successful update, empty at start.
extern WeatherReport WeatherData;

// The request's unit value by DegreeSymbol's rule: "m" (°C) for 1, else "s" (°F).
std::string UnitParams(int degreeType);

// The service asked when ZARVO_WEATHER_HOST names none.
inline constexpr std::wstring_view kWeatherHost = L"weather.zarvo.invalid";
// host[:port] of letters, digits, dots and hyphens: nothing else may reach the URL.
bool IsWeatherHost(std::wstring_view host);
// ZARVO_WEATHER_HOST when it is a valid host, else kWeatherHost; read at each call.
std::string WeatherHost();
// UTF-8, with every byte outside [A-Za-z0-9._~-] as %XX.
std::string PercentEncode(std::wstring_view text);
// The request for the current conditions and seven days of `weatherCode`.
std::string WeatherRequestUrl(std::string_view host, std::wstring_view weatherCode, int degreeType);

// An optional "-" and 1 to 3 digits: the only temperatures that may become a Run.
bool IsWeatherTemperature(std::wstring_view text);
// 1 to 16 of [A-Za-z0-9_-], or our own "n/a": the only codes that may name a picture.
bool IsWeatherIconCode(std::wstring_view code);
// The day WeatherDayOffset shows: 0..6, anything else counts as 0.
int WeatherDayIndex(int weatherDayOffset);

// The answer's bytes read into a report. Malformed XML or a missing "cc", "tmp" or
// "icon" leave day 0 empty; a day 1..6 missing in "dayf", or a value that is no
// temperature, gives "<?>" and "n/a". Needs COM on the calling thread.
WeatherReport ParseWeather(std::string_view bytes);

enum class DownloadStatus {
    Ok,
    NoWininet,  // InternetOpenA failed
    Failed,     // no answer, a bad one, or none before the deadline
    Ending,     // the application ended during the wait
};
struct DownloadResult {
    DownloadStatus Status = DownloadStatus::Failed;
    std::string Body;
};
// The body of an HTTP GET of `url`, fetched on a worker thread while this (GUI)
// thread dispatches messages. A worker still running at the deadline is abandoned:
// its late result is dropped and nothing waits for it. Only a status of 200 with a
// non-empty body of its full Content-Length and at most 256 KiB is Ok.
DownloadResult DownloadText(const std::string& url);

// The time DownloadText waits (10 s unless a test sets it; nullopt restores it).
void SetWeatherDeadlineForTests(std::optional<DWORD> ms);
// Waits until every download worker, abandoned ones too, has ended, at most
// timeoutMs; false when some still run.
bool WaitForWeatherWorkers(DWORD timeoutMs);

}  // namespace core
