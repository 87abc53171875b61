// The start-with-Windows entry in the real registry of the test prefix: the user's
// Run key, written, read and deleted as Apply does it. The suite holds the
// "run-key" resource lock, and the value is deleted at the end: a restart of the
// prefix would start whatever its Run key lists.
#include "core/run_value.h"
#include "support/run_key.h"

#include <gtest/gtest.h>

namespace {

class RealRunKeyTest : public ::testing::Test {
protected:
    void SetUp() override { core::SetRunValueFunctionsForTests(std::nullopt); }
    void TearDown() override { testing_support::DeleteUserRunValue(); }
    static std::wstring UserValue() { return testing_support::UserRunValue(); }
};

TEST_F(RealRunKeyTest, CheckedWritesTheQuotedPathAndClearedDeletesIt) {
    const std::wstring exe = L"C:\\Program Files\\Zarvo\\Zarvo.exe";
    ASSERT_TRUE(core::ApplyStartWithWindows(true, exe));
    EXPECT_EQ(UserValue(), L"\"C:\\Program Files\\Zarvo\\Zarvo.exe\"");
    EXPECT_TRUE(core::RealRunValueFunctions().query(HKEY_CURRENT_USER));
    EXPECT_TRUE(core::StartsWithWindows());
    ASSERT_TRUE(core::ApplyStartWithWindows(false, exe));
    EXPECT_EQ(UserValue(), L"(none)");
    EXPECT_FALSE(core::RealRunValueFunctions().query(HKEY_CURRENT_USER));
    // Nothing left to delete is no failure.
    EXPECT_EQ(core::RealRunValueFunctions().remove(HKEY_CURRENT_USER), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(core::ApplyStartWithWindows(false, exe));
}

}  // namespace
