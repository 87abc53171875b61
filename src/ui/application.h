// The application object: the hidden window titled "Zarvo" that owns every dialog,
// the message loop, and the one handler for errors that no routine catches.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class Application {
public:
    static Application& Instance();

    // Creates the hidden application window; safe to call again.
    void Initialize(const std::wstring& title);
    HWND Handle() const noexcept { return hwnd_; }
    void SetTitle(const std::wstring& title);

    // Runs the message loop until Terminate.
    void Run();
    // Dispatches what is queued now and returns.
    void ProcessMessages();
    // Ends the message loop; nothing else runs on the way out (no close query).
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }

    // The handler for an exception that escaped a window procedure or a start-up
    // stage; called inside a catch block. Without one the program ends.
    void SetExceptionHandler(std::function<void()> handler) { exceptionHandler_ = std::move(handler); }
    void HandleException() noexcept;

    // Work to run whenever the queue has emptied (position-based mouse enter and leave).
    void AddIdleHandler(std::function<void()> handler) { idleHandlers_.push_back(std::move(handler)); }

    // Tests run many program lifetimes in one process.
    void ResetForTests();

private:
    void RunIdle() noexcept;
    bool PumpQueued();

    HWND hwnd_ = nullptr;
    bool terminated_ = false;
    std::function<void()> exceptionHandler_;
    std::vector<std::function<void()>> idleHandlers_;
};

}  // namespace ui
