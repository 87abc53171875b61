// The real Zarvo.exe asking the service that ZARVO_WEATHER_HOST names: a real click
// on the weather row sends one request and writes the answer into the menu file.
#include "e2e_helpers.h"
#include "support/http_server.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::RectOf;

class WeatherE2E : public e2e::ProgramTest {
protected:
    void TearDown() override {
        e2e::SendMouse(MOUSEEVENTF_LEFTUP);
        ProgramTest::TearDown();
    }
};

TEST_F(WeatherE2E, AClickOnTheWeatherRowSendsOneRequestAndShowsTheAnswer) {
    testing_support::HttpServer server({testing_support::OkReply(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><weather><cc><tmp>17</tmp><icon>26</icon></cc></weather>")});
    e2e::WriteRowSkin(folder, L"WeatherTest", L"\r\n[Weather]\r\nWeatherCode=UKXX0085\r\nDegreeType=1\r\n");
    folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items>"
                               "<item><Run></Run><Params>Out: %s</Params><Type>7</Type><Caption>Weather</Caption>"
                               "<subitem/></item>"
                               "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption><subitem/></item>"
                               "</Items>\r\n");
    zarvo.SetEnvironment(L"ZARVO_WEATHER_HOST", ui::Utf8ToWide(server.HostPort()));
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    ASSERT_TRUE(main);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(main) && RectOf(main).left == 0; }));
    const RECT m = RectOf(main);

    SetCursorPos(m.left + (m.right - m.left) / 2, e2e::kTop + e2e::kHeader + e2e::kRow / 2);
    Sleep(300);
    e2e::SendMouse(MOUSEEVENTF_LEFTDOWN);
    e2e::SendMouse(MOUSEEVENTF_LEFTUP);

    ASSERT_TRUE(server.WaitForRequests(1, 10000));
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const std::vector<std::string> captions = e2e::Values(folder.ReadFile(L"1.xml"), "Caption");
        return !captions.empty() && captions[0] == "Out: 17\xC2\xB0" "C";
    })) << folder.ReadFile(L"1.xml");
    const std::string saved = folder.ReadFile(L"1.xml");
    EXPECT_EQ(e2e::Values(saved, "Run")[0], "17");
    EXPECT_EQ(e2e::Values(saved, "ImageFile")[0], ui::WideToUtf8(folder.PathOf(L"weather\\26.png")));
    Sleep(500);
    EXPECT_EQ(server.RequestCount(), 1u) << "one click, one request";
    EXPECT_TRUE(IsWindowVisible(main));
}

}  // namespace
