// When a folder row of a listing is listed in place, the listing gets a ".." row
// unless the row is the folder the listing started from.
#include "core/launch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ListingUpRow, OnlyTheStartingFolderGoesWithoutTheParentRow) {
    struct Case {
        std::wstring run, folderRun;
        bool up;
    };
    const Case cases[] = {
        {L"C:\\Docs", L"C:\\Docs", false},
        // The ".." row's Run always ends in a backslash; the folder item's may not.
        {L"C:\\Docs\\", L"C:\\Docs", false},
        {L"C:\\Docs", L"C:\\Docs\\", false},
        {L"c:\\docs\\", L"C:\\DOCS", false},
        {L"C:\\\u00C4pfel\\", L"c:\\\u00E4pfel", false},
        {L"C:\\", L"C:\\", false},
        // Only one trailing backslash is the same folder.
        {L"C:\\Docs\\\\", L"C:\\Docs", true},
        {L"C:\\Docs\\Sub", L"C:\\Docs", true},
        {L"C:\\Doc", L"C:\\Docs", true},
        {L"C:\\Docs", L"D:\\Docs", true},
        {L"C:\\", L"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!core::SameFolderPath(c.run, c.folderRun), c.up) << c.run << " | " << c.folderRun;
}

}  // namespace
