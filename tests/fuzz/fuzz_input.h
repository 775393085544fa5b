// What the fuzz targets share: the input cut into wide texts, and a Base64
// decoder to check the encoder against (OpenSSL's, which the build links).
#pragma once

#include <openssl/evp.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#define CHECK(c) if (!(c)) __builtin_trap()

// `count` texts split at NUL, the last one taking the rest, NULs included;
// byte 0xFF takes the next two as one character, past Latin-1.
inline std::vector<std::wstring> WidePieces(const unsigned char* data, std::size_t size, std::size_t count) {
    std::vector<std::wstring> pieces(count);
    for (std::size_t i = 0, piece = 0; i < size; ++i) {
        wchar_t c = data[i] == 0xFF && i + 2 < size ? (i += 2, data[i - 1] << 8 | data[i]) : data[i];
        c == 0 && piece + 1 < count ? void(++piece) : void(pieces[piece] += c);
    }
    return pieces;
}

// The bytes of padded Base64 text.
inline std::string DecodeBase64(const std::string& text) {
    std::string out(text.size() / 4 * 3 + 3, '\0');
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&out[0]), reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
    if (n < 0) return "(not Base64)";
    std::size_t padding = text.size() - std::min(text.find('='), text.size());
    out.resize(static_cast<std::size_t>(n) - padding);
    return out;
}
