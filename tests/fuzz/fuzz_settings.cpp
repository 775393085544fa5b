// Whatever the registry holds, a load leaves every field checked, within its capacity and stored as it is.
#include <cwctype>
#include "fuzz_input.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "util/text.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    SettingsRecord = SettingsData{};
    MemoryRegistry() = {};
    FakeResolver() = {{{L"a.test", L"127.0.0.1"}, {L"b", L"127.0.0.2"}, {L"x_y", L"127.0.0.3"}}, {}};  // x_y: no host
    std::vector<std::wstring> texts = WidePieces(data, size, SETTINGS_COUNT);
    for (int i = 0; i < SETTINGS_COUNT; ++i) RegWriteString(RegistryKeyPath, SettingName(i), texts[i].c_str());
    LoadSettings(true);
    for (int i = 0; i < SETTINGS_COUNT; ++i) {
        SettingField field = SettingAt(SettingsRecord, i);  // a missing value throws
        CHECK(std::wmemchr(field.text, 0, field.capacity) && field.text[0] &&
              MemoryRegistry().values.at({RegistryKeyPath, SettingName(i)}) == field.text);
    }
    for (std::wstring host : {SettingsRecord.DomainCheckIP, SettingsRecord.DomainDynDNS})  // default, resolved or address
        CHECK(host.find_first_not_of(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.") == host.npos &&
              (host == DEFAULT_CHECKIP_HOST || host == DEFAULT_DYNDNS_HOST || FakeResolver().answers.count(host) ||
               (!std::iswalpha(host[0]) && ParseIPv4(host.c_str()) != 0xFFFFFFFFu)));
    int tout = DecimalValue(SettingsRecord.TOUT), cloop = DecimalValue(SettingsRecord.CLOOP);
    CHECK(tout >= 1000 && tout <= 15000 && cloop >= 30 && cloop <= 1440);
    CHECK(std::wcscmp(SettingsRecord.DEBUG, L"true") == 0 || std::wcscmp(SettingsRecord.DEBUG, L"false") == 0);
    for (const std::wstring& name : SettingsRecord.HostList)  // no space, C0, DEL or C1 control character
        for (wchar_t c : name) CHECK(c > L' ' && (c < 0x7F || c > 0x9F));
    return 0;
}
