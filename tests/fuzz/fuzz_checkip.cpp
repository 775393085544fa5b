// The check-IP page travels in the clear: the address taken from it is address-shaped and fits CurrentIP whole.
#include <cwchar>
#include "fuzz_input.h"
#include "sync/protocol.h"
#include "util/text.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string address;
    if (!FindCheckIpAddress(std::string(reinterpret_cast<const char*>(data), size), address)) return 0;
    CHECK(!address.empty() && address.size() <= 30 &&
          address.find_first_not_of("0123456789abcdefABCDEF.:") == std::string::npos);
    wchar_t current[CURRENT_IP_CAPACITY];  // the address, filled the way the check fills it
    std::wmemset(current, L'#', CURRENT_IP_CAPACITY);
    AnsiToWide(current, address.c_str(), CURRENT_IP_CAPACITY);
    CHECK(std::wmemchr(current, L'\0', CURRENT_IP_CAPACITY) && std::wstring(address.begin(), address.end()) == current);
    return 0;
}
