// Which ZARVO_WEATHER_HOST values may reach the weather request, which characters
// of a location code are sent as they stand, and answers built against the parser.
#include "core/weather.h"

#include "support/http_server.h"
#include "support/scoped_environment.h"
#include "ui/sessions.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(WeatherHost, OnlyAHostOfLettersDigitsDotsAndHyphensWithAnOptionalPortIsUsed) {
    const std::string fallback = ui::WideToUtf8(core::kWeatherHost);
    struct Case {
        const wchar_t* value;  // nullptr: the variable is not set
        std::string used;
    };
    const Case cases[] = {
        {nullptr, fallback},
        {L"127.0.0.1:8080", "127.0.0.1:8080"},
        {L"weather-1.example.org", "weather-1.example.org"},
        {L"", fallback},
        {L"host/path", fallback},
        {L"host?x=1", fallback},
        {L"user@host", fallback},
        {L"a host", fallback},
        {L"host:", fallback},
        {L":80", fallback},
        {L"host:123456", fallback},
        {L"host:80:81", fallback},
        {L"host:8o", fallback},
        {L"[::1]:80", fallback},
        {L"h\u00E9te", fallback},
        {L"host\r\nX-Injected: 1", fallback},
    };
    testing_support::ScopedEnvironment variable(L"ZARVO_WEATHER_HOST", nullptr);
    for (const Case& c : cases) {
        variable.Set(c.value);
        EXPECT_EQ(core::WeatherHost(), c.used) << (c.value ? ui::WideToUtf8(c.value) : "unset");
    }
    // Longer than any host name, and longer than the buffer it is read into.
    variable.Set(std::wstring(5000, L'a').c_str());
    EXPECT_EQ(core::WeatherHost(), fallback);
}

TEST(WeatherRequest, TheLocationCodeIsSentAsUtf8WithEverythingButUnreservedCharactersEncoded) {
    const struct {
        std::wstring code;
        std::string sent;
    } cases[] = {
        {L"UKXX0085", "UKXX0085"},
        {L"a-b_c.d~e", "a-b_c.d~e"},
        {L"", ""},
        {L"../x?y#z", "..%2Fx%3Fy%23z"},
        {L"Z\u00FCrich 1", "Z%C3%BCrich%201"},
        {L"%41", "%2541"},
    };
    for (const auto& c : cases) {
        const std::string url = core::WeatherRequestUrl("h", c.code, 1);
        EXPECT_EQ(url.substr(0, url.find('?')), "http://h/weather/local/" + c.sent) << url;
    }
}

// Answers built to make the parser work without end, or fetch something, read as
// no data; an external DTD is never fetched.
TEST(WeatherAnswer, EntityBombsDeepNestingAndExternalDefinitionsGiveNoTemperature) {
    const ui::ComSession com;
    testing_support::HttpServer server({testing_support::OkReply("<!ENTITY t \"23\">")});
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE weather [<!ENTITY e0 \"2323232323\">";
    for (int i = 1; i <= 9; ++i) {
        bomb += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) bomb += "&e" + std::to_string(i - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><weather><cc><tmp>&e9;</tmp><icon>26</icon></cc></weather>";
    std::string deep = "<weather><cc><tmp>23</tmp><icon>26</icon></cc>";
    for (int i = 0; i < 5000; ++i) deep += "<x>";
    for (int i = 0; i < 5000; ++i) deep += "</x>";
    deep += "</weather>";
    const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE weather SYSTEM \"http://" + server.HostPort() +
                                 "/w.dtd\"><weather><cc><tmp>&t;</tmp><icon>26</icon></cc></weather>";
    const struct {
        const std::string& answer;
        bool noIcon;  // the whole answer is refused; Wine reads an undefined entity as empty instead
    } cases[] = {{bomb, true}, {deep, true}, {external, false}};
    for (const auto& c : cases) {
        const core::WeatherReport report = core::ParseWeather(c.answer);
        EXPECT_EQ(report.Temps[0], L"") << c.answer.substr(0, 60);
        if (c.noIcon) {
            EXPECT_EQ(report.Icons[0], L"") << c.answer.substr(0, 60);
        }
        EXPECT_EQ(report.Temps[1], L"<?>");
        EXPECT_EQ(report.Icons[6], L"n/a");
    }
    EXPECT_EQ(server.RequestCount(), 0u);
}

}  // namespace
