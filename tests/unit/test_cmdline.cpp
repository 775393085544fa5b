// Command-line splitting: blanks, quotes, no escapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/cmdline.h"

namespace {
std::vector<std::wstring> Split(const wchar_t* line) {
    int count = -1;
    wchar_t** table = SplitCommandLine(line, &count);
    std::vector<std::wstring> args;
    for (int i = 0; i < count; ++i) args.push_back(table[i]);
    EXPECT_EQ(table[count], nullptr) << "the table must end in a null slot";
    FreeArgumentBlock(table);
    return args;
}
using Args = std::vector<std::wstring>;
}  // namespace

TEST(SplitCommandLine, SplitsAsTheProgramQuotes) {
    struct Row {
        const wchar_t* line;
        Args expected;
    } rows[] = {
        {L"", {}},
        {L"   \t ", {}},
        {L"a b", {L"a", L"b"}},
        {L"  a   b  ", {L"a", L"b"}},
        {L"\"C:\\Program Files\\x.exe\" -min", {L"C:\\Program Files\\x.exe", L"-min"}},
        {L"ab\"c d\"e f", {L"abc de", L"f"}},
        {L"\"\"", {L""}},
        {L"a \"\" b", {L"a", L"", L"b"}},
        {L"\"a\"\"b\"", {L"ab"}},
        {L"a\"b\"", {L"ab"}},
        {L"\"abc", {L"abc"}},
        {L"\"a b", {L"a b"}},
        {L"a\\\"b c", {L"a\\b c"}},
        {L"a\tb\rc\nd", {L"a", L"b", L"c", L"d"}},
        {L"a\vb\fc", {L"a\vb\fc"}},
        {L"\"a\tb\rc\nd e\"", {L"a\tb\rc\nd e"}},
        {L"x.exe \"-min -auto\"", {L"x.exe", L"-min -auto"}},
    };
    for (const Row& r : rows) EXPECT_EQ(Split(r.line), r.expected) << "line [" << std::wstring(r.line).size() << "]";
}

TEST(SplitCommandLine, WorstCaseFitsTheBlock) {
    // Every other character a one-letter argument: the most slots a line
    // can need. AddressSanitizer catches any write past the block.
    std::wstring line;
    for (int i = 0; i < 501; ++i) line += L"x ";
    line += L"y";
    Args args = Split(line.c_str());
    EXPECT_EQ(args.size(), 502u);
    EXPECT_EQ(args.back(), L"y");
}
