// The weather readout of the real main window against the loopback server: what a
// click on a weather row writes into the menu file for each kind of answer, and how
// the window keeps working while the server stalls.
#include "menu_input_fixture.h"

#include "core/weather.h"
#include "support/http_server.h"
#include "support/png_file.h"
#include "support/scoped_environment.h"
#include "ui/cursor.h"
#include "ui/strings.h"

#include <atomic>
#include <optional>
#include <regex>
#include <thread>

namespace {

using testing_support::HttpReply;
using testing_support::HttpServer;
using testing_support::OkReply;

const std::wstring kCelsius = L"\u00B0C";

std::string Answer(const std::string& tmp, const std::string& icon, const std::string& days = "") {
    return "<?xml version=\"1.0\"?><weather ver=\"2.0\"><head><ut>C</ut></head><cc><tmp>" + tmp + "</tmp><icon>" +
           icon + "</icon></cc>" + days + "</weather>";
}

// dayf with a header element first, as real answers have, then day d at position d
// with the high 30 + d and the icon of `icons`.
std::string Days(const std::vector<std::string>& icons) {
    std::string days = "<dayf><lsup>today</lsup>";
    for (size_t d = 1; d <= icons.size(); ++d)
        days += "<day d=\"" + std::to_string(d) + "\"><hi>" + std::to_string(30 + d) + "</hi><icon>" +
                icons[d - 1] + "</icon></day>";
    return days + "</dayf>";
}

HttpReply Status(int status, std::string reason) {
    HttpReply reply = OkReply("<weather/>");
    reply.status = status;
    reply.reason = std::move(reason);
    return reply;
}

class WeatherTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        ui::SetMessageBoxHandler([this](const ui::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            captions.push_back(request.caption);
            cursorsAtBoxes.push_back(ui::ScreenCursorName());
            return IDOK;
        });
        config += L"[Weather]\r\nWeatherCode=UKXX0085\r\nDegreeType=1\r\n";
        folder.WriteFile(L"weather\\26.png", testing_support::SolidPng(4, 4, 0xFF2080C0));
        folder.WriteFile(L"weather\\32.png", testing_support::SolidPng(4, 4, 0xFFE0C020));
        folder.WriteFile(L"weather\\27.png", "not a picture");
        folder.WriteFile(L"weather\\N\\A.png", testing_support::SolidPng(4, 4, 0xFF808080));
        folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items><item><Run>old</Run><Params>Now: %s</Params>"
                                   "<ImageFile>icon.png</ImageFile><Type>7</Type><Caption>Old</Caption>"
                                   "<subitem/></item></Items>\r\n");
        Start();
        ASSERT_TRUE(boxes.empty()) << "the menu did not build";
    }
    void TearDown() override {
        core::SetWeatherDeadlineForTests(std::nullopt);
        EXPECT_TRUE(core::WaitForWeatherWorkers(5000));
        MenuInputTest::TearDown();
    }

    void UseServer(const HttpServer& server) { weatherHost.Set(ui::Utf8ToWide(server.HostPort()).c_str()); }
    void SetParams(const std::wstring& params) {
        Main().XMLDocument1.Root().ElementAt(0).Child(L"Params").SetText(params);
        ASSERT_TRUE(Main().SaveMenuAndRebuild(0));
    }
    void ClickWeatherRow() {
        Hover(1);
        PointAtRow(1);
        Main().FormClick();
    }
    // The weather row as the menu file holds it.
    struct Saved {
        std::wstring run, caption, imageFile;
    };
    Saved SavedRow() {
        ui::XmlDocument document;
        const std::optional<ui::XmlNode> item = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {0});
        if (!item) return {L"<no item>", L"", L""};
        ui::XmlNode node = *item;
        return {node.Child(L"Run").Text(), node.Child(L"Caption").Text(), node.Child(L"ImageFile").Text()};
    }

    testing_support::ScopedEnvironment weatherHost{L"ZARVO_WEATHER_HOST", L"127.0.0.1:9"};
    std::vector<std::wstring> captions;
    std::vector<LPCWSTR> cursorsAtBoxes;
};

TEST_F(WeatherTest, AGoodAnswerWritesTemperatureCaptionAndPictureFromTheExactRequest) {
    HttpServer server({OkReply(Answer("23", "26"))});
    UseServer(server);
    Main().StartTimer(core::TForm1::kTimer1, 300);
    ClickWeatherRow();

    const Saved row = SavedRow();
    EXPECT_EQ(row.run, L"23");
    EXPECT_EQ(row.caption, L"Now: 23" + kCelsius);
    EXPECT_EQ(row.imageFile, folder.Path() + L"weather\\26.png");
    EXPECT_EQ(Main().ItemLists[1][0].Caption, row.caption) << "the level is rebuilt";
    EXPECT_TRUE(boxes.empty());
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string line = requests[0].substr(0, requests[0].find("\r\n"));
    EXPECT_TRUE(std::regex_match(line, std::regex("GET /weather/local/UKXX0085\\?cc=1&link=xoap&prod=xoap&par=[0-9]{10}"
                                                  "&key=[0-9a-f]{16}&unit=m&dayf=7 HTTP/1\\.[01]")))
        << line;
    EXPECT_NE((requests[0] + "\r\n").find("\r\nUser-Agent: Zarvo\r\n"), std::string::npos) << requests[0];
    EXPECT_FALSE(core::Animating);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1)) << "Timer1 runs again, or the menu never rolls out";
}

// One click per row, in order, against one window. A failing row leaves the menu
// file exactly as the row before left it.
struct AnswerCase {
    const char* name = "";
    std::vector<HttpReply> script{};
    std::wstring params = L"Now: %s";
    int degreeType = 1, dayOffset = 0;
    std::wstring weatherCode = L"UKXX0085";
    std::wstring run{}, caption{};
    std::optional<std::wstring> picture{};  // under weather\; nullopt: not checked
    std::string inRequestLine{};
    bool fails = false;
    bool portClosed = false;
};

TEST_F(WeatherTest, EachAnswerGivesItsRowOrCannotOpenURLAndLeavesTheRowAsItWas) {
    const std::wstring c = kCelsius;
    std::string big = Answer("23", "26");
    big.insert(big.find("<head>"), std::string(1024 * 1024, ' '));
    HttpReply shortBody = OkReply(Answer("23", "26"));
    shortBody.contentLength = shortBody.body.size() + 100;
    HttpReply noAnswer;
    noAnswer.status = 0;
    // Pictures that a code naming a path would reach.
    folder.WriteFile(L"26.png", testing_support::SolidPng(4, 4, 0xFF000000));
    folder.WriteFile(L"weather\\a\\b.png", testing_support::SolidPng(4, 4, 0xFF000000));
    folder.WriteFile(L"t.txt", "23");
    const std::string entity = "<?xml version=\"1.0\"?><!DOCTYPE weather [<!ENTITY t SYSTEM \"" +
                               ui::WideToUtf8(folder.PathOf(L"t.txt")) +
                               "\">]><weather><cc><tmp>&t;</tmp><icon>26</icon></cc></weather>";
    const std::string sevenDays = Days({"11", "11", "32", "11", "11", "11"});
    const AnswerCase cases[] = {
        {.name = "good", .script = {OkReply(Answer("23", "26"))}, .run = L"23", .caption = L"Now: 23" + c,
         .picture = L"26.png", .inRequestLine = "&unit=m&dayf=7 HTTP/1."},
        {.name = "Fahrenheit", .script = {OkReply(Answer("74", "26"))}, .degreeType = 0, .run = L"74",
         .caption = L"Now: 74\u00B0F", .picture = L"26.png", .inRequestLine = "&unit=s&dayf=7 HTTP/1."},
        {.name = "literal text", .script = {OkReply(Answer("-5", "26"))}, .params = L"%d %s %x", .run = L"-5",
         .caption = L"%d -5" + c + L" %x", .picture = L"26.png"},
        {.name = "blank Params", .script = {OkReply(Answer("7", "26"))}, .params = L"  ", .run = L"7",
         .caption = L"7" + c, .picture = L"26.png"},
        {.name = "code encoded", .script = {OkReply(Answer("23", "26"))}, .weatherCode = L"Z\u00FCrich 1/2&x",
         .run = L"23", .caption = L"Now: 23" + c, .picture = L"26.png",
         .inRequestLine = "GET /weather/local/Z%C3%BCrich%201%2F2%26x?cc=1&"},
        // Icons that are not a plain code with a picture that decodes.
        {.name = "unknown icon", .script = {OkReply(Answer("23", "99"))}, .run = L"23", .caption = L"Now: 23" + c,
         .picture = L"N/A.png"},
        {.name = "icon ..\\26", .script = {OkReply(Answer("23", "..\\26"))}, .run = L"23",
         .caption = L"Now: 23" + c, .picture = L"N/A.png"},
        {.name = "icon a/b", .script = {OkReply(Answer("23", "a/b"))}, .run = L"23", .caption = L"Now: 23" + c,
         .picture = L"N/A.png"},
        {.name = "icon of text", .script = {OkReply(Answer("23", "27"))}, .run = L"23", .caption = L"Now: 23" + c,
         .picture = L"N/A.png"},
        // Temperatures that are no temperature never reach Run.
        {.name = "path temperature", .script = {OkReply(Answer("C:\\x.exe", "26"))}, .caption = L"Now: " + c,
         .picture = L"26.png"},
        {.name = "long temperature", .script = {OkReply(Answer("99999", "26"))}, .caption = L"Now: " + c,
         .picture = L"26.png"},
        {.name = "unit temperature", .script = {OkReply(Answer("23F", "26"))}, .caption = L"Now: " + c,
         .picture = L"26.png"},
        // No data.
        {.name = "malformed", .script = {OkReply("<weather><cc><tmp>23</tmp>")}, .caption = L"Now: " + c,
         .picture = L"N/A.png"},
        {.name = "HTML page", .script = {OkReply("<html><body><p>Service moved<br></body></html>")},
         .caption = L"Now: " + c, .picture = L"N/A.png"},
        {.name = "no cc", .script = {OkReply("<weather><loc id=\"x\"/></weather>")}, .caption = L"Now: " + c,
         .picture = L"N/A.png"},
        {.name = "external entity", .script = {OkReply(entity)}, .caption = L"Now: " + c},
        // A good answer, so that the failures below have a caption to keep.
        {.name = "good again", .script = {OkReply(Answer("23", "26"))}, .run = L"23", .caption = L"Now: 23" + c,
         .picture = L"26.png"},
        {.name = "404", .script = {Status(404, "Not Found")}, .fails = true},
        {.name = "500", .script = {Status(500, "Internal Server Error")}, .fails = true},
        {.name = "closed port", .script = {OkReply(Answer("1", "26"))}, .fails = true, .portClosed = true},
        {.name = "close without an answer", .script = {noAnswer}, .fails = true},
        {.name = "short body", .script = {shortBody}, .fails = true},
        {.name = "1 MiB", .script = {OkReply(big)}, .fails = true},
        {.name = "empty body", .script = {OkReply("")}, .fails = true},
        // The day shown.
        {.name = "day 3", .script = {OkReply(Answer("23", "26", sevenDays))}, .dayOffset = 3, .run = L"33",
         .caption = L"Now: 33" + c, .picture = L"32.png"},
        {.name = "day 3 without dayf", .script = {OkReply(Answer("23", "26"))}, .dayOffset = 3, .run = L"<?>",
         .caption = L"Now: <?>" + c, .picture = L"n/a.png"},
        {.name = "day 6 beyond dayf", .script = {OkReply(Answer("23", "26", Days({"32", "32"})))}, .dayOffset = 6,
         .run = L"<?>", .caption = L"Now: <?>" + c, .picture = L"n/a.png"},
        {.name = "day 9", .script = {OkReply(Answer("23", "26", sevenDays))}, .dayOffset = 9, .run = L"23",
         .caption = L"Now: 23" + c, .picture = L"26.png"},
        {.name = "day -1", .script = {OkReply(Answer("21", "26", sevenDays))}, .dayOffset = -1, .run = L"21",
         .caption = L"Now: 21" + c, .picture = L"26.png"},
    };
    size_t failures = 0;
    for (const AnswerCase& k : cases) {
        SCOPED_TRACE(k.name);
        HttpServer server(k.script);
        UseServer(server);
        if (k.portClosed) server.Stop();
        SetParams(k.params);
        Main().Settings.DegreeType = k.degreeType;
        Main().Settings.WeatherDayOffset = k.dayOffset;
        Main().Settings.WeatherCode = k.weatherCode;
        boxes.clear();
        const std::string before = folder.ReadFile(L"1.xml");
        ClickWeatherRow();

        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), k.portClosed ? 0u : 1u);
        if (!k.inRequestLine.empty()) {
            EXPECT_NE(requests[0].substr(0, requests[0].find("\r\n")).find(k.inRequestLine), std::string::npos)
                << requests[0];
        }
        if (k.fails) {
            ++failures;
            EXPECT_EQ(boxes, std::vector<std::wstring>{L"Cannot open URL"});
            EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
            continue;
        }
        EXPECT_TRUE(boxes.empty());
        const Saved row = SavedRow();
        EXPECT_EQ(row.run, k.run);
        EXPECT_EQ(row.caption, k.caption);
        if (k.picture) {
            EXPECT_EQ(row.imageFile, folder.Path() + L"weather\\" + *k.picture);
        }
    }
    EXPECT_EQ(captions.size(), failures);
    for (const std::wstring& caption : captions) EXPECT_EQ(caption, L"Zarvo");
    for (LPCWSTR cursor : cursorsAtBoxes) EXPECT_NE(cursor, IDC_WAIT) << "the hourglass is gone before the message";
}

// The stalled server's test reads the window's state from inside the wait.
struct DuringTheWait {
    std::atomic<bool> sent{false};
    std::atomic<bool> answered{false};
    bool looked = false, animating = false, timer1 = true, hourglass = false;
};
DuringTheWait* during = nullptr;

void CALLBACK LookDuringTheWait(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!during || during->looked) return;
    during->looked = true;
    during->animating = core::Animating;
    during->timer1 = core::Form1->TimerRunning(core::TForm1::kTimer1);
    during->hourglass = ui::ScreenCursorName() == IDC_WAIT;
    core::Form1->FormClick();  // a second click on the weather row
}

TEST_F(WeatherTest, AStalledServerNeitherBlocksTheWindowNorOutlivesTheDeadline) {
    HttpReply stalled = OkReply(Answer("23", "26"));
    stalled.holdMs = 8000;
    HttpServer server({stalled});
    UseServer(server);
    core::SetWeatherDeadlineForTests(1000);
    Main().StartTimer(core::TForm1::kTimer1, 300);
    const std::string before = folder.ReadFile(L"1.xml");
    DuringTheWait seen;
    during = &seen;
    const HWND window = Main().Handle();
    std::thread other([&] {
        if (!server.WaitForRequests(1, 5000)) return;
        DWORD_PTR result = 0;
        seen.sent = true;
        seen.answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
    });
    SetTimer(nullptr, 0, 300, LookDuringTheWait);
    const ULONGLONG start = GetTickCount64();
    ClickWeatherRow();
    const ULONGLONG waited = GetTickCount64() - start;
    other.join();
    during = nullptr;

    EXPECT_TRUE(seen.sent);
    EXPECT_TRUE(seen.answered) << "the window answers messages during the wait";
    ASSERT_TRUE(seen.looked);
    EXPECT_TRUE(seen.animating);
    EXPECT_FALSE(seen.timer1);
    EXPECT_TRUE(seen.hourglass);
    EXPECT_EQ(server.RequestCount(), 1u) << "the second click sends nothing";
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Cannot open URL"});
    EXPECT_GE(waited, 900u);
    EXPECT_LT(waited, 6000u) << "the deadline, not the server, ends the wait";
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
    EXPECT_FALSE(core::Animating);
    EXPECT_EQ(ui::ScreenCursorName(), nullptr);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
    server.Stop();
    EXPECT_TRUE(core::WaitForWeatherWorkers(10000)) << "the abandoned worker ends once the server closes";
}

void CALLBACK TurnTheRowIntoAFile(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    core::Form1->XMLDocument1.Root().ElementAt(0).Child(L"Type").SetText(L"0");
    core::Form1->SaveMenuAndRebuild(0);
}

// The row that was clicked is written only while it is still a weather row.
TEST_F(WeatherTest, ARowThatStoppedBeingAWeatherRowDuringTheWaitIsNotWritten) {
    HttpReply slow = OkReply(Answer("23", "26"));
    slow.holdMs = 600;
    HttpServer server({slow});
    UseServer(server);
    SetTimer(nullptr, 0, 200, TurnTheRowIntoAFile);
    ClickWeatherRow();
    EXPECT_TRUE(boxes.empty());
    const Saved row = SavedRow();
    EXPECT_EQ(row.run, L"old");
    EXPECT_EQ(row.caption, L"Old");
}

}  // namespace
