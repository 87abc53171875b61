// Creates the eight windows in-process over a temporary program folder, with message
// boxes answered by the test.
#pragma once

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "support/temp_folder.h"
#include "ui/application.h"
#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Captions in plain colours without stroke or shadow, so every pixel drawn is text.
inline void UsePlainCaptions(core::SkinMetrics& skin) {
    skin.ShowCaption = true;
    skin.StrokeSize = 0;
    skin.ShadowSize = 0;
    skin.ShadowSmooth = 1;
    skin.ShadowColor = skin.SelectedShadowColor = 0;
    skin.FontColor = 0xFFFF0000;
    skin.SelectedFontColor = 0xFF0000FF;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& app = ui::Application::Instance();
        app.ResetForTests();
        app.Initialize(L"Zarvo");
        core::SetProgramFolderForTests(folder.Path());
        core::SetFirstArgumentForTests(std::wstring());
        ui::SetMessageBoxHandler([this](const ui::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            return answer(request);
        });
        // No splash: its steps wait 50 ms each.
        config = L"[General]\r\nHideSplashScreen=1\r\n";
    }

    void TearDown() override {
        core::DestroyForms();
        ui::SetMessageBoxHandler(nullptr);
        core::SetProgramFolderForTests(std::nullopt);
        core::SetFirstArgumentForTests(std::nullopt);
        core::SetMediaKindForTests(std::nullopt);
        ui::Application::Instance().ResetForTests();
    }

    void Start() {
        folder.WriteUtf16(L"config.ini", config);
        core::CreateForms();
    }

    core::TForm1& Main() { return *core::Form1; }

    // The close command's path: the close query, then the end of the message loop.
    void CloseMainWindow() { SendMessageW(Main().Handle(), WM_CLOSE, 0, 0); }

    testing_support::TempFolder folder;
    std::wstring config;
    std::vector<std::wstring> boxes;
    std::function<int(const ui::MessageBoxRequest&)> answer = [](const ui::MessageBoxRequest&) {
        return IDNO;
    };
};
