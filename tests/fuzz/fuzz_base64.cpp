// The encoder against a plain decoder: every 7-bit text comes back whole.
#include <algorithm>
#include <cstdlib>
#include <string>
#include "fuzz_input.h"
#include "util/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string input = std::string(reinterpret_cast<const char*>(data), size).c_str();  // to the NUL
    char* encoded = Base64Encode(input.c_str());
    bool refused = input.empty() || std::any_of(input.begin(), input.end(), [](unsigned char c) { return c >= 0x80; });
    CHECK((encoded == nullptr) == refused);
    if (encoded == nullptr) return 0;
    std::string text(encoded);
    std::free(encoded);
    std::size_t n = input.size(), padding = std::min(text.find('='), text.size());
    CHECK(text.size() == 4 * ((n + 2) / 3) && text.size() - padding == (3 - n % 3) % 3);
    CHECK(text.find_first_not_of('=', padding) == text.npos && DecodeBase64(text) == input);
    return 0;
}
