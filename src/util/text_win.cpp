// Windows implementation of the code-page conversions in text.h.
#include "util/text.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {
const DWORD kWideFlags = WC_COMPOSITECHECK | WC_DEFAULTCHAR;

int ToAnsi(const wchar_t* src, int count, char* dst, int size) {
    return WideCharToMultiByte(CP_ACP, kWideFlags, src, count, dst, size, nullptr, nullptr);
}
}  // namespace

void WideToAnsi(char* dst, const wchar_t* src, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t length = std::wcslen(src);
    int n = static_cast<int>(ConversionLength(length, capacity));
    int cap = static_cast<int>(capacity);
    // Zero first so a conversion that composes characters leaves no stale
    // bytes before the terminator.
    std::memset(dst, 0, capacity);
    int written = ToAnsi(src, n, dst, cap);
    if (written > 0 && written <= n) {
        dst[n - 1] = '\0';
        return;
    }
    if (written > 0 && static_cast<std::size_t>(n) == length + 1) return;  // fitted, NUL included
    // A multi-byte code page needs more bytes than there are characters:
    // keep the longest prefix of whole characters that fits.
    int m = n - 1;
    while (m > 0 && ToAnsi(src, m, nullptr, 0) > cap - 1) --m;
    std::memset(dst, 0, capacity);
    if (m > 0) ToAnsi(src, m, dst, cap - 1);
}

void AnsiToWide(wchar_t* dst, const char* src, std::size_t capacity) {
    if (capacity == 0) return;
    int n = static_cast<int>(ConversionLength(std::strlen(src), capacity));
    if (MultiByteToWideChar(CP_ACP, MB_COMPOSITE, src, n, dst, static_cast<int>(capacity)) == 0) {
        // The decomposed form did not fit: an empty text, not a half-written one.
        dst[0] = L'\0';
        return;
    }
    dst[n - 1] = L'\0';
}
