#include "core/launch.h"

#include "core/startup.h"
#include "support/png_file.h"
#include "support/temp_folder.h"
#include "ui/xml_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

core::LaunchRequest Request(std::wstring target, bool ctrl = false) {
    core::LaunchRequest request;
    request.Target = std::move(target);
    request.Params.Params = L"-p";
    request.Params.RunVis = 2;
    request.CtrlDown = ctrl;
    return request;
}

TEST(PlanLaunch, WorkingFolderOnlyForAnExistingFileAndCtrlOpensTheContainingFolder) {
    testing_support::TempFolder folder;
    folder.WriteFile(L"bin\\tool.exe", "x");
    const std::wstring bin = folder.PathOf(L"bin\\");
    struct Case {
        std::wstring target;
        bool ctrl;
        std::wstring file, parameters, directory;
    };
    const Case cases[] = {
        {bin + L"tool.exe", false, bin + L"tool.exe", L"-p", bin},
        {bin + L"gone.exe", false, bin + L"gone.exe", L"-p", L""},
        {bin + L"tool.exe", true, bin, L"", L""},
        {bin + L"gone.exe", true, bin, L"", L""},  // the folder exists, the file need not
        {folder.PathOf(L"none\\x.exe"), true, folder.PathOf(L"none\\x.exe"), L"-p", L""},
        {L"notepad.exe", true, L"notepad.exe", L"-p", L""},  // no folder part
    };
    for (const auto& c : cases) {
        const core::ShellCall call = core::PlanLaunch(Request(c.target, c.ctrl));
        EXPECT_EQ(call.verb, L"open");
        EXPECT_EQ(call.file, c.file) << c.target;
        EXPECT_EQ(call.parameters, c.parameters) << c.target;
        EXPECT_EQ(call.directory, c.directory) << c.target;
        EXPECT_EQ(call.show, SW_SHOWMAXIMIZED) << "RunVis 2 + 1";
    }
}

TEST(PlanLaunch, OnlyTheExactDesktopObjectBecomesTheDesktopFolder) {
    const std::wstring object = L"::{00021400-0000-0000-C000-000000000046}";
    EXPECT_EQ(core::PlanLaunch(Request(object)).file, core::GetDesktopFolder(nullptr));
    const std::wstring lower = L"::{00021400-0000-0000-c000-000000000046}";
    EXPECT_EQ(core::PlanLaunch(Request(lower)).file, lower);
}

TEST(LaunchParams, ShowCommandFromRunVisExceptForSystemToolsAndStrayValues) {
    struct Case {
        int type, runVis;
        std::uint8_t expected;
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 2, 2}, {4, 3, 0}, {4, 1, 0}, {0, 7, 0}, {0, -1, 0}};
    for (const auto& c : cases) {
        core::TLNItem item;
        item.Type = c.type;
        item.RunVis = c.runVis;
        item.Params = L"a b";
        const core::LaunchParams params = core::LaunchParamsFor(item);
        EXPECT_EQ(params.RunVis, c.expected) << c.type << " " << c.runVis;
        EXPECT_EQ(params.Params, L"a b");
    }
}

// The request copies what the worker needs at the click, macros already expanded.
TEST(LaunchRequest, ExpandsTheProgramDriveAndNamesTheClickSoundOnlyWhenSet) {
    const std::wstring savedAppDir = core::AppDir;
    core::AppDir = L"Q:\\Zarvo\\";
    core::Settings settings;
    core::TLNItem item;
    struct Case {
        std::wstring run, target;
        std::uint8_t clickSound;
        std::wstring sound;
    };
    const Case cases[] = {
        {L"%DISK%\\Tools\\a.exe", L"Q:\\Tools\\a.exe", 1, L"Q:\\Zarvo\\click.wav"},
        {L"%disk%\\Tools\\a.exe", L"%disk%\\Tools\\a.exe", 0, L""},
    };
    for (const auto& c : cases) {
        item.Run = c.run;
        settings.ClickSound = c.clickSound;
        const core::LaunchRequest request = core::MakeLaunchRequest(item, settings);
        EXPECT_EQ(request.Target, c.target);
        EXPECT_EQ(request.ClickSoundFile, c.sound);
    }
    core::AppDir = savedAppDir;
}

// What the worker did, in order.
struct Trace {
    std::vector<std::wstring> events;
    core::ShellFunctions Functions() {
        core::ShellFunctions shell;
        shell.execute = [this](const core::ShellCall& call) { events.push_back(L"open " + call.file); };
        shell.beep = [this] { events.push_back(L"beep"); };
        shell.playSound = [this](const std::wstring& file) { events.push_back(L"sound " + file); };
        return shell;
    }
};

TEST(LaunchItemThread, EmptyTargetOnlyBeepsAndTheClickSoundPlaysBeforeTheStart) {
    testing_support::TempFolder folder;
    folder.WriteFile(L"click.wav", "RIFF");
    struct Case {
        std::wstring target, sound;
        std::vector<std::wstring> expected;
    };
    const std::wstring sound = folder.PathOf(L"click.wav");
    const Case cases[] = {
        {L"", sound, {L"beep"}},
        {L"x.exe", sound, {L"sound " + sound, L"open x.exe"}},
        {L"x.exe", folder.PathOf(L"missing.wav"), {L"open x.exe"}},
        {L"x.exe", L"", {L"open x.exe"}},
    };
    for (const auto& c : cases) {
        Trace trace;
        core::LaunchRequest request = Request(c.target);
        request.ClickSoundFile = c.sound;
        request.Shell = trace.Functions();
        core::LaunchItemThread(request);
        EXPECT_EQ(trace.events, c.expected) << c.target << " " << c.sound;
    }
}

TEST(WeatherReadout, CaptionThroughTheRowsOwnFormatAndAPictureOrNA) {
    testing_support::TempFolder folder;
    const std::string picture = testing_support::SolidPng(2, 2, 0xFF336699);
    folder.WriteFile(L"weather\\26.png", picture);
    folder.WriteFile(L"weather\\27.png", "png");
    folder.WriteFile(L"secret.png", picture);
    folder.WriteFile(L"weather\\sub\\26.png", picture);
    const std::wstring appDir = folder.Path();
    struct Case {
        std::wstring params, icon;
        int degreeType;
        std::wstring caption, imageFile;
    };
    const Case cases[] = {
        {L"", L"26", 0, L"72\u00B0F", appDir + L"weather\\26.png"},
        {L"  ", L"26", 1, L"72\u00B0C", appDir + L"weather\\26.png"},
        {L"Now: %s", L"99", 1, L"Now: 72\u00B0C", appDir + L"weather\\N/A.png"},
        // The row's own text is never a printf format.
        {L"%d %n %x: %s", L"", 0, L"%d %n %x: 72\u00B0F", appDir + L"weather\\N/A.png"},
        // An icon code from the network that names a path, even one that exists, never
        // leads the picture out of the weather folder or into a folder of its own.
        {L"", L"..\\secret", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"../secret", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"sub\\26", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"sub/26", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"..", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        // A picture must decode, and a code is at most 16 letters, digits, '_' or '-'.
        {L"", L"27", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"26 ", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
        {L"", L"26:x", 0, L"72\u00B0F", appDir + L"weather\\N/A.png"},
    };
    for (const auto& c : cases) {
        ui::XmlDocument doc;
        ASSERT_TRUE(doc.LoadXml(L"<Items><item><Run>old</Run><Params>" + c.params +
                                L"</Params><Type>7</Type></item></Items>"));
        ui::XmlNode item = doc.Root().ElementAt(0);
        core::WriteWeatherReadout(item, core::WeatherDay{L"72", c.icon}, c.degreeType, appDir);
        EXPECT_EQ(item.Child(L"Run").Text(), L"72");
        EXPECT_EQ(item.Child(L"Caption").Text(), c.caption) << c.params;
        EXPECT_EQ(item.Child(L"ImageFile").Text(), c.imageFile) << c.icon;
    }
}

}  // namespace
