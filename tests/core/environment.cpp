// OLE, GDI+ and COM for the whole test program, as the program entry starts them.
#include "ui/sessions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ProcessEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ole_ = std::make_unique<ui::OleSession>();
        com_ = std::make_unique<ui::ComSession>(COINIT_APARTMENTTHREADED);
        gdiplus_ = std::make_unique<ui::GdiplusSession>();
    }
    void TearDown() override {
        gdiplus_.reset();
        com_.reset();
        ole_.reset();
    }

private:
    std::unique_ptr<ui::OleSession> ole_;
    std::unique_ptr<ui::ComSession> com_;
    std::unique_ptr<ui::GdiplusSession> gdiplus_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ProcessEnvironment);

}  // namespace
