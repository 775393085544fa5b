// POSIX implementation of the code-page conversions in text.h. The test
// build has no ANSI code page; it behaves like a single-byte Latin-1 page,
// where what cannot be shown becomes the default character '?'.
#include "util/text.h"

#include <cstring>
#include <cwchar>

void WideToAnsi(char* dst, const wchar_t* src, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t n = ConversionLength(std::wcslen(src), capacity);
    for (std::size_t i = 0; i < n; ++i) {
        wchar_t c = src[i];
        dst[i] = (c >= 0 && c <= 0xFF) ? static_cast<char>(c) : '?';
    }
    dst[n - 1] = '\0';
}

void AnsiToWide(wchar_t* dst, const char* src, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t n = ConversionLength(std::strlen(src), capacity);
    for (std::size_t i = 0; i < n; ++i) dst[i] = static_cast<unsigned char>(src[i]);
    dst[n - 1] = L'\0';
}
