// Drives a modal loop from inside: each step runs on a thread timer of the test's
// thread, which every message loop of that thread dispatches (ShowModal's included),
// so a test can call the handler that shows a dialog and act on the dialog meanwhile.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>

namespace testing_support {

class ModalSteps {
public:
    // Steps run in order, one per tick of `intervalMs`, starting one tick after Start.
    explicit ModalSteps(UINT intervalMs = 30) : intervalMs_(intervalMs) {}
    ~ModalSteps() { Stop(); }
    ModalSteps(const ModalSteps&) = delete;
    ModalSteps& operator=(const ModalSteps&) = delete;

    ModalSteps& Then(std::function<void()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    void Start() {
        Stop();
        Current() = this;
        timer_ = SetTimer(nullptr, 0, intervalMs_, &Tick);
    }
    void Stop() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
        if (Current() == this) Current() = nullptr;
    }
    // Steps not run yet: a test asserts 0 after the modal call returned.
    size_t Pending() const noexcept { return steps_.size(); }

private:
    static ModalSteps*& Current() {
        static ModalSteps* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalSteps* self = Current();
        if (!self || self->running_) return;  // a step's own message loop ticks too
        if (self->steps_.empty()) {
            self->Stop();
            return;
        }
        std::function<void()> step = std::move(self->steps_.front());
        self->steps_.pop_front();
        self->running_ = true;
        step();
        self->running_ = false;
    }

    UINT intervalMs_;
    UINT_PTR timer_ = 0;
    bool running_ = false;
    std::deque<std::function<void()>> steps_;
};

}  // namespace testing_support
