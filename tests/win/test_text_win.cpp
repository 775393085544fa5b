// The conversions through the system's ANSI code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "util/text.h"

TEST(WinText, AsciiCutsLikeEverywhere) {
    char narrow[8];
    std::memset(narrow, 'X', sizeof narrow);
    WideToAnsi(narrow, L"abcdef", 4);
    EXPECT_STREQ(narrow, "abc");
    EXPECT_EQ(narrow[4], 'X');
    wchar_t wide[8];
    AnsiToWide(wide, "whatever", 1);
    EXPECT_STREQ(wide, L"");
    AnsiToWide(wide, "1.2.3.4", 8);
    EXPECT_STREQ(wide, L"1.2.3.4");
}

TEST(WinText, UnshowableCharactersBecomeTheDefaultCharacter) {
    char narrow[16];
    WideToAnsi(narrow, L"a\u4E2D\u0416b", sizeof narrow);  // CJK and Cyrillic: not in a Western page
    ASSERT_EQ(GetACP(), 1252u) << "these expectations assume the Western code page";
    EXPECT_STREQ(narrow, "a??b");
}

TEST(WinText, CombiningMarkIsComposedWhereThePageHasTheLetter) {
    ASSERT_EQ(GetACP(), 1252u);
    char narrow[16];
    WideToAnsi(narrow, L"e\u0301t\u00E9", sizeof narrow);
    EXPECT_STREQ(narrow, "\xE9t\xE9");
}
