// Text conversions and copies, decimal values, Base64 and the command-line split.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/base64.h"
#include "util/cmdline.h"
#include "util/process.h"
#include "util/text.h"

static std::wstring Widen(const char* s) {  // byte for byte, like this build's Latin-1 code page
    std::wstring w;
    while (*s != '\0') w += static_cast<wchar_t>(static_cast<unsigned char>(*s++));
    return w;
}

// Both conversions and the field copy share one cut rule; the unit after the capacity must stay 'X'.
TEST(Text, ConversionsAndCopiesCutToCapacityAndTerminate) {
    struct Row { const char* behaviour; const char* source; std::size_t capacity; const char* expected; } rows[] = {
        {"fits", "ab", 4, "ab"}, {"exactly full", "abc", 4, "abc"}, {"one too long", "abcd", 4, "abc"},
        {"empty", "", 4, ""}, {"capacity one", "abc", 1, ""}, {"Latin-1", "d\xE9j\xE0", 8, "d\xE9j\xE0"}};
    for (const Row& r : rows) {
        char narrow[] = "XXXXXXXXXXXXXXX";
        wchar_t wide[] = L"XXXXXXXXXXXXXXX", copy[] = L"XXXXXXXXXXXXXXX";
        WideToAnsi(narrow, Widen(r.source).c_str(), r.capacity);
        AnsiToWide(wide, r.source, r.capacity);
        CopyText(copy, Widen(r.source).c_str(), r.capacity);
        EXPECT_EQ(std::string(narrow) + narrow[r.capacity], r.expected + std::string("X")) << r.behaviour;
        EXPECT_EQ(std::wstring(wide) + wide[r.capacity], Widen(r.expected) + L"X") << r.behaviour;
        EXPECT_EQ(std::wstring(copy) + copy[r.capacity], Widen(r.expected) + L"X") << r.behaviour << ": CopyText";
    }
}

TEST(Text, DecimalValues) {
    struct ValueRow { const wchar_t* text; int value; } values[] = {
        {L"60", 60}, {L"  45 min", 45}, {L"-7", -7}, {L"+12", 12}, {L"NULL", 0}, {L"", 0}, {L"0x10", 0},
        {L"2147483647", INT_MAX}, {L"99999999999", INT_MAX}, {L"-99999999999", INT_MIN}};
    for (const ValueRow& r : values) EXPECT_EQ(DecimalValue(r.text), r.value) << "\"" << r.text << "\"";
}

TEST(Base64Encode, Rfc4648VectorsAndRefusals) {
    struct Row { const char* in; const char* out; } rows[] = {
        {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"}, {"\x7F\x01?>", "fwE/Pg=="}, {"", nullptr}, {"\x80", nullptr},
        {"name:pass\xE9", nullptr}};  // out null: refused
    for (const Row& r : rows) {
        char* out = Base64Encode(r.in);
        EXPECT_STREQ(out ? out : "(refused)", r.out ? r.out : "(refused)") << "input \"" << r.in << "\"";
        std::free(out);
    }
}

TEST(SplitCommandLine, BlanksSeparateQuotesGroup) {
    using Args = std::vector<std::wstring>;
    std::wstring crowded = L"x";  // one-letter arguments fill every slot the block has
    for (int i = 1; i < 300; ++i) crowded += L" x";
    struct Row { const char* behaviour; std::wstring line; Args expected; } rows[] = {
        {"empty line", L"", {}},
        {"quoted path", L"\"C:\\Program Files\\x.exe\"  -min ", {L"C:\\Program Files\\x.exe", L"-min"}},
        {"quotes inside an argument", L"ab\"c d\"e f", {L"abc de", L"f"}},
        {"empty quotes are an argument", L"a \"\" b", {L"a", L"", L"b"}},
        {"backslash is no escape", L"a\\\"b c", {L"a\\b c"}},
        {"tab, CR and LF separate, VT does not", L"a\tb\rc\nd\ve", {L"a", L"b", L"c", L"d\ve"}},
        {"one-letter arguments", crowded, Args(300, L"x")},
        {"autostart command, blank in the path", AutostartCommandFor(L"C:\\Program Files\\V\\v.exe"),
         {L"C:\\Program Files\\V\\v.exe", L"-min", L"-auto"}},
    };
    for (const Row& r : rows) {
        int count = -1;
        wchar_t** table = SplitCommandLine(r.line.c_str(), &count);
        ASSERT_NE(table, nullptr) << r.behaviour;
        EXPECT_EQ(Args(table, table + count), r.expected) << r.behaviour;
        EXPECT_EQ(table[count], nullptr) << r.behaviour << ": no null slot after the arguments";
        FreeArgumentBlock(table);
    }
}

// The one-copy rule counts processes of the same file name, but not the
// service's, which runs the same file.
TEST(Process, WhatCountsAsACopy) {
    const wchar_t program[] = L"C:\\Program Files\\DynDNS Velloq Client\\DynDNSVelloqClient.exe";
    struct Row { const char* behaviour; const wchar_t* image; unsigned long id, service; bool copy; } rows[] = {
        {"the same file, another folder", L"\\Device\\HarddiskVolume2\\old\\DynDNSVelloqClient.exe", 40, 0, true},
        {"another program", L"\\Device\\HarddiskVolume2\\Windows\\explorer.exe", 41, 0, false},
        {"the service's process", L"\\Device\\HarddiskVolume2\\Program Files\\DynDNS Velloq Client\\DynDNSVelloqClient.exe", 42, 42, false},
        {"a copy beside a running service", L"\\Device\\HarddiskVolume2\\x\\DynDNSVelloqClient.exe", 43, 42, true},
        {"a name that only ends the same", L"\\Device\\HarddiskVolume2\\MyDynDNSVelloqClient.exe", 44, 0, false},
    };
    for (const Row& r : rows) EXPECT_EQ(CountsAsCopy(r.image, r.id, program, r.service), r.copy) << r.behaviour;
}
