// Portable part of the text helpers: the cut arithmetic and decimal values.
#include "util/text.h"

#include <cerrno>
#include <climits>
#include <cwchar>

std::size_t ConversionLength(std::size_t sourceLength, std::size_t capacity) {
    std::size_t n = sourceLength + 1;
    return n > capacity ? capacity : n;
}

void CopyText(wchar_t* dst, const wchar_t* src, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t i = 0;
    for (; src != nullptr && i + 1 < capacity && src[i] != L'\0'; ++i) dst[i] = src[i];
    dst[i] = L'\0';
}

int DecimalValue(const wchar_t* text) {
    if (text == nullptr) return 0;
    errno = 0;
    long v = std::wcstol(text, nullptr, 10);
    // long is 64-bit on Linux: clamp as a 32-bit wcstol would.
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

std::wstring DecimalText(int value) {
    return std::to_wstring(value);
}
