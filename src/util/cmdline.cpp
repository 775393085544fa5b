// Command-line splitting for the start-up switches and the program path.
#include "util/cmdline.h"

#include <cstdlib>
#include <cwchar>

wchar_t** SplitCommandLine(const wchar_t* commandLine, int* count) {
    std::size_t length = std::wcslen(commandLine);
    // An argument needs at least one character and one blank, so half the
    // length (rounded up) plus the null slot always suffices.
    std::size_t slots = (length + 2) / 2 + 1;
    std::size_t bytes = slots * sizeof(wchar_t*) + (length + 2) * sizeof(wchar_t);
    wchar_t** table = static_cast<wchar_t**>(std::malloc(bytes));
    if (table == nullptr) {
        *count = 0;
        return nullptr;
    }
    wchar_t* p = reinterpret_cast<wchar_t*>(table + slots);

    bool inQuotes = false, inArgument = false, atBoundary = true;
    int k = 0;
    for (const wchar_t* s = commandLine; *s != L'\0'; ++s) {
        wchar_t c = *s;
        if (inQuotes) {
            if (c == L'"')
                inQuotes = false;
            else
                *p++ = c;
        } else if (c == L'\t' || c == L'\n' || c == L'\r' || c == L' ') {
            if (inArgument) *p++ = L'\0';
            inArgument = false;
            atBoundary = true;
        } else if (c == L'"') {
            inQuotes = true;
            inArgument = true;
            if (atBoundary) table[k++] = p;
            atBoundary = false;
        } else {
            inArgument = true;
            if (atBoundary) table[k++] = p;
            *p++ = c;
            atBoundary = false;
        }
    }
    *p = L'\0';
    table[k] = nullptr;
    *count = k;
    return table;
}

void FreeArgumentBlock(wchar_t** table) {
    std::free(table);
}

std::wstring AutostartCommandFor(const std::wstring& programPath) {
    const wchar_t* quote = programPath.find(L' ') != std::wstring::npos ? L"\"" : L"";
    return quote + programPath + quote + L" -min -auto";
}
