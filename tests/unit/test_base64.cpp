// Base64 of the account credential: RFC 4648 vectors, padding, refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "util/base64.h"

namespace {
std::unique_ptr<char, decltype(&std::free)> Encode(const std::string& s) {
    return {Base64Encode(s.c_str()), &std::free};
}
}  // namespace

TEST(Base64Encode, MatchesRfc4648Vectors) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"user:pass", "dXNlcjpwYXNz"},
        {"\x7F\x01?>", "fwE/Pg=="},  // the last two alphabet characters
    };
    for (const Row& r : rows) {
        auto out = Encode(r.in);
        ASSERT_NE(out, nullptr) << r.in;
        EXPECT_STREQ(out.get(), r.out) << r.in;
    }
}

// One unbroken line of whole quads, however long the input.
TEST(Base64Encode, OutputIsOneLineOfPaddedQuads) {
    for (std::size_t len = 1; len <= 600; len += len < 40 ? 1 : 280) {
        auto out = Encode(std::string(len, 'a'));
        ASSERT_NE(out, nullptr);
        std::string s(out.get());
        EXPECT_EQ(s.size(), 4 * ((len + 2) / 3));
        std::size_t pads = s.size() - s.find_last_not_of('=') - 1;
        EXPECT_EQ(pads, (3 - len % 3) % 3) << "length " << len;
        EXPECT_EQ(s.find_first_of("\r\n"), std::string::npos) << "length " << len;
    }
}

TEST(Base64Encode, RefusesEmptyAndEightBitInput) {
    EXPECT_EQ(Encode(""), nullptr);
    EXPECT_EQ(Encode("\x80"), nullptr);
    EXPECT_EQ(Encode("name:pass\xE9"), nullptr);  // only the last byte is 8-bit
    EXPECT_EQ(Encode("\xFF" "abc"), nullptr);
}
