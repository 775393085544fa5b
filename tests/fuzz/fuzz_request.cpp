// Whatever the registry holds and the check-IP page says: the load leaves every field checked, within its capacity
// and stored as it is, and the check-IP request (its page from a host/path field) and the update request keep their
// fixed lines, each field with its own characters only; over TLS a bare address body is read too.
#include <algorithm>
#include "fuzz_input.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "sync/protocol.h"
#include "util/product.h"
#include "util/text.h"

static const std::wstring kHost = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.";

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    SettingsRecord = SettingsData{};
    MemoryRegistry() = {};
    FakeResolver() = {{{L"a.test", L"127.0.0.1"}, {L"b", L"127.0.0.2"}, {L"x_y", L"127.0.0.3"}}, {}};  // x_y: no host
    std::vector<std::wstring> texts = WidePieces(data, size, SETTINGS_COUNT + 1);  // the nine values, then the page
    for (int i = 0; i < SETTINGS_COUNT; ++i) RegWriteString(RegistryKeyPath, SettingName(i), texts[i].c_str());
    LoadSettings(true);
    for (int i = 0; i < SETTINGS_COUNT; ++i) {
        SettingField field = SettingAt(SettingsRecord, i);  // a missing value throws
        CHECK(std::wmemchr(field.text, 0, field.capacity) && field.text[0] &&
              MemoryRegistry().values.at({RegistryKeyPath, SettingName(i)}) == field.text);
    }
    std::wstring checkIpHost = CheckIpHostOf(SettingsRecord.DomainCheckIP);
    std::wstring path = std::wstring(SettingsRecord.DomainCheckIP).substr(checkIpHost.size());  // "" or "/..."
    CHECK(path.empty() || (path[0] == L'/' && path.find_first_not_of(PATH_CHARACTERS) == path.npos));
    for (std::wstring host : {checkIpHost, std::wstring(SettingsRecord.DomainDynDNS)})  // default, resolved or address
        CHECK(host.find_first_not_of(kHost) == host.npos &&
              (host == DEFAULT_CHECKIP_HOST || host == DEFAULT_DYNDNS_HOST ||
               (IsHostName(host.c_str()) && FakeResolver().answers.count(ServerNameOf(host.c_str()))) ||
               (!IsHostName(host.c_str()) && ParseIPv4(host.c_str()) != 0xFFFFFFFFu)));
    int tout = DecimalValue(SettingsRecord.TOUT), cloop = DecimalValue(SettingsRecord.CLOOP);
    CHECK(tout >= 1000 && tout <= 15000 && cloop >= 30 && cloop <= 1440);
    CHECK(std::wcscmp(SettingsRecord.DEBUG, L"true") == 0 || std::wcscmp(SettingsRecord.DEBUG, L"false") == 0);

    std::wstring request;
    std::size_t at = 0, start = 0;
    auto field = [&](const std::wstring& literal, const std::wstring& allowed) {  // the literal, then a run of allowed
        CHECK(request.compare(at, literal.size(), literal) == 0);
        at = std::min(request.find_first_not_of(allowed, start = at + literal.size()), request.size());
        return request.substr(start, at - start);
    };
    std::string checkIp = FormatCheckIpRequest(SettingsRecord.DomainCheckIP);
    request.assign(checkIp.begin(), checkIp.end());
    CHECK(field(L"GET ", PATH_CHARACTERS) == (path.empty() ? L"/index.php" : path));
    field(L" HTTP/1.0\r\nHost: ", kHost);
    field(L"\r\n\r\n", L"");
    CHECK(at == request.size());

    std::string page(texts[SETTINGS_COUNT].begin(), texts[SETTINGS_COUNT].end());  // wide ones cut to a byte
    for (bool overTls : {false, true}) {  // the marker page; over TLS a bare address too
        std::string address;
        if (!FindCheckIpAddress(page, address, overTls)) continue;  // CHECK ERROR: nothing is sent
        wchar_t current[CURRENT_IP_CAPACITY];  // the address, filled the way the check fills it
        AnsiToWide(current, address.c_str(), CURRENT_IP_CAPACITY);
        request = FormatUpdateRequest(JoinHostNames(SettingsRecord.HostList), current, SettingsRecord.DomainDynDNS,
                                      SettingsRecord.AUTH);
        at = 0;
        std::wstring names = field(L"GET /nic/update?system=dyndns&hostname=", kHost + L",");
        CHECK(field(L"&myip=", L"0123456789abcdefABCDEF.:") == current);
        field(L"&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\nHost: ", kHost);
        field(L"\r\nAuthorization: Basic ", kHost.substr(0, 62) + L"+/=");
        field(std::wstring(L"\r\nUser-Agent: ") + ProductName + L"/" + ProductVersion + L" " + ContactEmail +
                  L"\r\n\r\n",
              L"");
        CHECK(at == request.size() && std::count(names.begin(), names.end(), L',') < 21 &&
              names.find(L",,") == names.npos);
    }
    return 0;
}
