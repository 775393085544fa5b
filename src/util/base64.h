// Base64 (RFC 4648, standard alphabet, padded, one line) of 7-bit text.
#pragma once

// Returns a new text allocated with calloc that the caller frees, or null
// for an empty input, an input with a byte of 0x80 or above, or no memory.
char* Base64Encode(const char* text);

// Whether text is written as Base64 is: one or more characters of the
// alphabet, then at most two '='.
bool IsBase64Text(const wchar_t* text);
