// Settings record: load, check, correct and store the nine values, and the
// host list derived from DOMAIN.
#include "settings/settings.h"

#include <cwchar>
#include <cwctype>

#include "net/transport.h"
#include "settings/registry.h"
#include "util/text.h"

SettingsData SettingsRecord = {};

// The public check-IP page and update server of the DynDNS service.
const wchar_t DEFAULT_CHECKIP_HOST[] = L"checkip.dyndns.org";
const wchar_t DEFAULT_DYNDNS_HOST[] = L"members.dyndns.org";

namespace {

enum class Check { Host, Range, Switch, NonEmpty };

struct SettingRule {
    SettingInfo info;
    wchar_t* (*field)(SettingsData&);
    Check check;
    int low, high;
};

const SettingRule kRules[SETTINGS_COUNT] = {
    {{L"DomainCheckIP", DEFAULT_CHECKIP_HOST, 68}, [](SettingsData& r) { return r.DomainCheckIP; }, Check::Host, 0, 0},
    {{L"DomainDynDNS", DEFAULT_DYNDNS_HOST, 68}, [](SettingsData& r) { return r.DomainDynDNS; }, Check::Host, 0, 0},
    {{L"TOUT", L"3000", 8}, [](SettingsData& r) { return r.TOUT; }, Check::Range, 1000, 15000},
    {{L"CLOOP", L"60", 8}, [](SettingsData& r) { return r.CLOOP; }, Check::Range, 30, 1440},
    {{L"DEBUG", L"false", 8}, [](SettingsData& r) { return r.DEBUG; }, Check::Switch, 0, 0},
    {{L"AUTH", L"NULL", 64}, [](SettingsData& r) { return r.AUTH; }, Check::NonEmpty, 0, 0},
    {{L"DOMAIN", L"NULL", 256}, [](SettingsData& r) { return r.DOMAIN; }, Check::NonEmpty, 0, 0},
    {{L"LASTIP", L"NULL", 32}, [](SettingsData& r) { return r.LASTIP; }, Check::NonEmpty, 0, 0},
    {{L"TIMESTAMP", L"NULL", 32}, [](SettingsData& r) { return r.TIMESTAMP; }, Check::NonEmpty, 0, 0},
};

// A host field passes when it is, or resolves to, a dotted IPv4 address.
// Only names that begin with a letter are looked up; the name itself is
// kept, not the address it resolved to.
bool HostPasses(const wchar_t* field) {
    if (field[0] == L'\0') return false;
    wchar_t scratch[HOST_TEXT_CAPACITY];
    CopyText(scratch, field);
    if (std::iswalpha(static_cast<std::wint_t>(scratch[0]))) ResolveHost(scratch);
    return ParseIPv4(scratch) != 0xFFFFFFFFu;
}

bool Passes(const SettingRule& rule, const wchar_t* field) {
    switch (rule.check) {
        case Check::Host:
            return HostPasses(field);
        case Check::Range: {
            if (field[0] == L'\0') return false;
            int v = DecimalValue(field);
            return v >= rule.low && v <= rule.high;
        }
        case Check::Switch:
            return std::wcscmp(field, L"false") == 0 || std::wcscmp(field, L"true") == 0;
        case Check::NonEmpty:
            return field[0] != L'\0';
    }
    return false;
}

}  // namespace

const SettingInfo& SettingAt(int index) {
    return kRules[index].info;
}

wchar_t* SettingField(SettingsData& record, int index) {
    return kRules[index].field(record);
}

void LoadSettings(bool readStore) {
    for (const SettingRule& rule : kRules) {
        wchar_t* field = rule.field(SettingsRecord);
        // Text longer than the field is cut to it, then checked as it stands.
        if (readStore) CopyText(field, RegReadString(RegistryKeyPath, rule.info.name).c_str(), rule.info.capacity);
        if (!Passes(rule, field)) CopyText(field, rule.info.defaultText, rule.info.capacity);
        RegWriteString(RegistryKeyPath, rule.info.name, field);
    }
    RebuildHostList();
}

void RebuildHostList() {
    std::vector<std::wstring>& list = SettingsRecord.HostList;
    list.clear();
    std::wstring rest(SettingsRecord.DOMAIN);
    for (;;) {
        std::size_t pair = rest.find(L"\r\n");
        if (pair == std::wstring::npos) {
            if (!rest.empty()) list.push_back(rest);
            return;
        }
        if (pair > 0) list.push_back(rest.substr(0, pair));
        rest.erase(0, pair + 2);
    }
}

bool BalloonsOn() {
    return std::wcscmp(SettingsRecord.DEBUG, L"true") == 0;
}
