// Bounded text helpers shared by every subsystem: wide/narrow conversion in
// the ANSI code page, copying into fixed-capacity fields, decimal values.
#pragma once

#include <cstddef>
#include <string>

// Converts wide text to the ANSI code page into dst of `capacity` bytes
// (terminator included). A longer source is cut; dst always ends in a NUL.
void WideToAnsi(char* dst, const wchar_t* src, std::size_t capacity);

// Converts ANSI text to wide text into dst of `capacity` characters.
void AnsiToWide(wchar_t* dst, const char* src, std::size_t capacity);

// How many source units (terminator included) a conversion into `capacity`
// takes: the whole text when it fits, otherwise capacity - 1 and the NUL.
std::size_t ConversionLength(std::size_t sourceLength, std::size_t capacity);

// Copies src into a field of `capacity` characters, cutting what does not
// fit. Never writes past the field; dst is always terminated.
void CopyText(wchar_t* dst, const wchar_t* src, std::size_t capacity);

template <std::size_t N>
void CopyText(wchar_t (&dst)[N], const wchar_t* src) {
    CopyText(dst, src, N);
}

// The decimal value of a text as wcstol(…, 10) reads it, clamped to the
// signed 32-bit range: leading blanks and a sign allowed, digits up to the
// first non-digit, no digits gives 0.
int DecimalValue(const wchar_t* text);

// Decimal text of a signed 32-bit number.
std::wstring DecimalText(int value);
