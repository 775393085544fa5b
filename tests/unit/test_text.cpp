// Conversion cut rules, field copies and decimal values.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "util/text.h"

TEST(WideToAnsi, CutsToCapacityAndAlwaysTerminates) {
    struct Row {
        const wchar_t* src;
        std::size_t capacity;
        const char* expected;
    } rows[] = {
        {L"abcdef", 4, "abc"},
        {L"ab", 4, "ab"},
        {L"abc", 4, "abc"},
        {L"abcd", 4, "abc"},
        {L"", 4, ""},
        {L"anything", 1, ""},
    };
    for (const Row& r : rows) {
        char dst[16];
        std::memset(dst, 'X', sizeof dst);
        WideToAnsi(dst, r.src, r.capacity);
        EXPECT_STREQ(dst, r.expected) << "capacity " << r.capacity;
        EXPECT_EQ(dst[r.capacity], 'X') << "wrote past the capacity of " << r.capacity;
    }
}

TEST(AnsiToWide, CutsToCapacityAndAlwaysTerminates) {
    struct Row {
        const char* src;
        std::size_t capacity;
        const wchar_t* expected;
    } rows[] = {
        {"192.0.2.7", 31, L"192.0.2.7"},
        {"abcdef", 4, L"abc"},
        {"whatever", 1, L""},
        {"", 1, L""},
    };
    for (const Row& r : rows) {
        wchar_t dst[40];
        for (wchar_t& c : dst) c = L'X';
        AnsiToWide(dst, r.src, r.capacity);
        EXPECT_STREQ(dst, r.expected);
        EXPECT_EQ(dst[r.capacity], L'X');
    }
}

TEST(CopyText, NeverWritesPastTheField) {
    struct {
        wchar_t field[8];
        wchar_t after;
    } record;
    record.after = L'G';
    wchar_t (&field)[8] = record.field;
    CopyText(field, L"12345678901");
    EXPECT_STREQ(field, L"1234567");
    EXPECT_EQ(record.after, L'G');
    CopyText(field, L"60");
    EXPECT_STREQ(field, L"60");
    CopyText(field, nullptr);
    EXPECT_STREQ(field, L"");
}

TEST(DecimalValue, ReadsLikeWcstolClampedTo32Bits) {
    struct Row {
        const wchar_t* text;
        int expected;
    } rows[] = {
        {L"60", 60},          {L"  45 min", 45},    {L"-7", -7},        {L"+12", 12},
        {L"NULL", 0},         {L"", 0},             {L"12abc", 12},     {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN}, {L"2147483647", INT_MAX}, {L"0x10", 0},
    };
    for (const Row& r : rows) EXPECT_EQ(DecimalValue(r.text), r.expected) << "text \"" << r.text << "\"";
}
