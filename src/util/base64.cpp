// Base64 encoder for the account credential, and the check of a stored one.
#include "util/base64.h"

#include <cstdlib>
#include <cstring>

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

char* Base64Encode(const char* text) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t len = std::strlen(text);
    for (std::size_t i = 0; i < len; ++i)
        if (in[i] > 0x7F) return nullptr;
    if (len == 0) return nullptr;

    std::size_t outLen = 4 * ((len + 2) / 3);
    char* out = static_cast<char*>(std::calloc(outLen + 1, 1));
    if (out == nullptr) return nullptr;
    std::memset(out, '=', outLen);

    std::size_t i = 0, o = 0;
    for (; i + 3 <= len; i += 3) {
        unsigned b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
        out[o++] = kAlphabet[b0 >> 2];
        out[o++] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        out[o++] = kAlphabet[((b1 & 15) << 2) | (b2 >> 6)];
        out[o++] = kAlphabet[b2 & 63];
    }
    if (len - i == 1) {
        unsigned b0 = in[i];
        out[o++] = kAlphabet[b0 >> 2];
        out[o++] = kAlphabet[(b0 & 3) << 4];
    } else if (len - i == 2) {
        unsigned b0 = in[i], b1 = in[i + 1];
        out[o++] = kAlphabet[b0 >> 2];
        out[o++] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        out[o++] = kAlphabet[(b1 & 15) << 2];
    }
    return out;
}

bool IsBase64Text(const wchar_t* text) {
    std::size_t length = 0;
    while (text[length] != L'\0' && text[length] < 0x80 && std::strchr(kAlphabet, static_cast<char>(text[length])))
        ++length;
    std::size_t padding = 0;
    while (text[length + padding] == L'=') ++padding;
    return length > 0 && padding <= 2 && text[length + padding] == L'\0';
}
