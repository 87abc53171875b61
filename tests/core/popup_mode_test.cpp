// The rule for a menu file named by another process through a global atom.
#include "core/popup_mode.h"

#include <gtest/gtest.h>

namespace {

TEST(PopupModeNames, OnlyAPlainRelativeXmlNameIsAccepted) {
    struct Case {
        const wchar_t* name;
        bool accepted;
    };
    const Case cases[] = {
        {L"2.xml", true},
        {L"menus\\work.xml", true},
        {L"a..b.xml", true},  // dots inside a name are no parent step
        {L"", false},
        {L".xml", false},
        {L"2.XML", false},  // the command line's rule: exactly ".xml"
        {L"2.xml.bak", false},
        {L"config.ini", false},
        {L"..\\x.xml", false},
        {L"sub\\..\\..\\x.xml", false},
        {L"sub/../x.xml", false},
        {L"..", false},
        {L"C:\\Zarvo\\1.xml", false},
        {L"C:1.xml", false},
        {L"\\1.xml", false},
        {L"/1.xml", false},
        {L"\\\\server\\share\\1.xml", false},
        {L"1.xml:stream.xml", false},
    };
    for (const Case& c : cases) EXPECT_EQ(core::IsAcceptedMenuFileName(c.name), c.accepted) << c.name;
}

TEST(PopupModeNames, IntegerAndMissingAtomsHaveNoName) {
    EXPECT_EQ(core::GlobalAtomName(0), L"");
    EXPECT_EQ(core::GlobalAtomName(4711), L"");
    const ATOM atom = GlobalAddAtomW(L"zarvo-atom-name.xml");
    ASSERT_NE(atom, 0);
    EXPECT_EQ(core::GlobalAtomName(atom), L"zarvo-atom-name.xml");
    GlobalDeleteAtom(atom);
}

}  // namespace
