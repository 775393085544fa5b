// The splitter against what its quoting rules promise, inside its one block.
#include <cwchar>
#include <string>
#include <vector>
#include "fuzz_input.h"
#include "util/cmdline.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    std::wstring line = WidePieces(data, size, 1)[0];
    line.resize(std::wcslen(line.c_str()));
    // An argument starts after an unquoted blank; quotes are dropped and only they bring blanks in.
    std::vector<std::wstring> expected;
    bool quoted = false, nonBlank = false, boundary = true;
    for (wchar_t c : line) {
        bool separates = !quoted && blank(c);
        nonBlank |= !blank(c);
        if (!separates && boundary) expected.emplace_back();
        boundary = separates;
        if (c == L'"') quoted = !quoted;
        else if (!separates) expected.back() += c;
    }
    int count = -1;
    wchar_t** table = SplitCommandLine(line.c_str(), &count);
    if (table == nullptr) return 0;
    std::size_t slots = (line.size() + 2) / 2 + 1;  // the block as the splitter sizes it
    const wchar_t *text = reinterpret_cast<const wchar_t*>(table + slots), *end = text + line.size() + 2;
    CHECK(std::size_t(count) < slots && (count >= 1) == nonBlank && count == int(expected.size()) && !table[count]);
    for (int i = 0; i < count; ++i)  // in the block, after the one before, and as expected
        CHECK(table[i] >= text && table[i] < end && std::wmemchr(table[i], L'\0', end - table[i]) &&
              (i == 0 || table[i] > table[i - 1] + std::wcslen(table[i - 1])) && table[i] == expected[i]);
    FreeArgumentBlock(table);
    return 0;
}
