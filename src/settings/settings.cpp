// Settings record: load, check, correct and store the nine values, and the
// host list derived from DOMAIN.
#include "settings/settings.h"

#include <cwchar>

#include "net/transport.h"
#include "settings/registry.h"
#include "util/text.h"

SettingsData& SettingsRecord = *new SettingsData();
const wchar_t* volatile FailedStoreKey = nullptr;

// The public check-IP page and update server of the DynDNS service.
const wchar_t DEFAULT_CHECKIP_HOST[] = L"checkip.dyndns.org";
const wchar_t DEFAULT_DYNDNS_HOST[] = L"members.dyndns.org";

namespace {

enum class Check { Host, Range, Switch, NonEmpty };

template <std::size_t N>
SettingField Field(wchar_t (&text)[N]) {
    return SettingField{text, N};
}

struct SettingRow {
    const wchar_t* name;
    SettingField (*field)(SettingsData&);
    const wchar_t* defaultText;
    Check check;
    int low, high;
};

const SettingRow kRows[SETTINGS_COUNT] = {
    {L"DomainCheckIP", [](SettingsData& r) { return Field(r.DomainCheckIP); }, DEFAULT_CHECKIP_HOST, Check::Host, 0, 0},
    {L"DomainDynDNS", [](SettingsData& r) { return Field(r.DomainDynDNS); }, DEFAULT_DYNDNS_HOST, Check::Host, 0, 0},
    {L"TOUT", [](SettingsData& r) { return Field(r.TOUT); }, L"3000", Check::Range, TIMEOUT_MIN_MS, TIMEOUT_MAX_MS},
    {L"CLOOP", [](SettingsData& r) { return Field(r.CLOOP); }, L"60", Check::Range, PAUSE_MIN_MINUTES,
     PAUSE_MAX_MINUTES},
    {L"DEBUG", [](SettingsData& r) { return Field(r.DEBUG); }, SWITCH_OFF_WORD, Check::Switch, 0, 0},
    {L"AUTH", [](SettingsData& r) { return Field(r.AUTH); }, L"NULL", Check::NonEmpty, 0, 0},
    {L"DOMAIN", [](SettingsData& r) { return Field(r.DOMAIN); }, L"NULL", Check::NonEmpty, 0, 0},
    {L"LASTIP", [](SettingsData& r) { return Field(r.LASTIP); }, L"NULL", Check::NonEmpty, 0, 0},
    {L"TIMESTAMP", [](SettingsData& r) { return Field(r.TIMESTAMP); }, L"NULL", Check::NonEmpty, 0, 0},
};

bool IsHostCharacter(wchar_t c) {
    return c != L'\0' && std::wcschr(HOST_CHARACTERS, c) != nullptr;
}

// A host field passes when it is written with host characters only and is,
// or resolves to, a dotted IPv4 address. Only names that begin with a
// letter are looked up; the name itself is kept, not its address.
bool HostPasses(const wchar_t* field) {
    if (field[0] == L'\0') return false;
    for (const wchar_t* c = field; *c != L'\0'; ++c)
        if (!IsHostCharacter(*c)) return false;
    wchar_t scratch[HOST_TEXT_CAPACITY];
    CopyText(scratch, field);
    if (IsHostName(scratch)) ResolveHost(scratch);
    return ParseIPv4(scratch) != 0xFFFFFFFFu;
}

bool Passes(const SettingRow& row, const wchar_t* field) {
    switch (row.check) {
        case Check::Host:
            return HostPasses(field);
        case Check::Range: {
            if (field[0] == L'\0') return false;
            int v = DecimalValue(field);
            return v >= row.low && v <= row.high;
        }
        case Check::Switch:
            return std::wcscmp(field, SWITCH_OFF_WORD) == 0 || std::wcscmp(field, SWITCH_ON_WORD) == 0;
        case Check::NonEmpty:
            return field[0] != L'\0';
    }
    return false;
}

bool IsHostLine(const std::wstring& name) {
    if (name.empty()) return false;
    for (wchar_t c : name)
        if (c <= L' ' || (c >= 0x7F && c <= 0x9F)) return false;  // spaces and C0/C1 controls
    return true;
}

}  // namespace

const wchar_t* SettingName(int index) {
    return kRows[index].name;
}

SettingField SettingAt(SettingsData& record, int index) {
    return kRows[index].field(record);
}

bool StoreValue(const wchar_t* key, const wchar_t* name, const wchar_t* text) {
    if (RegWriteString(key, name, text)) return true;
    if (FailedStoreKey == nullptr) FailedStoreKey = key;
    return false;
}

void LoadSettings(bool readStore) {
    for (const SettingRow& row : kRows) {
        SettingField field = row.field(SettingsRecord);
        // Text longer than the field is cut to it, then checked as it stands.
        if (readStore) CopyText(field.text, RegReadString(RegistryKeyPath, row.name).c_str(), field.capacity);
        if (!Passes(row, field.text)) CopyText(field.text, row.defaultText, field.capacity);
        StoreValue(RegistryKeyPath, row.name, field.text);
    }
    RebuildHostList();
}

void RebuildHostList() {
    std::vector<std::wstring>& list = SettingsRecord.HostList;
    list.clear();
    std::wstring rest(SettingsRecord.DOMAIN);
    while (!rest.empty()) {
        std::size_t end = rest.find(L'\n');
        std::wstring line = rest.substr(0, end);
        rest.erase(0, end == std::wstring::npos ? end : end + 1);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (IsHostLine(line)) list.push_back(line);
    }
}

bool BalloonsOn() {
    return std::wcscmp(SettingsRecord.DEBUG, SWITCH_ON_WORD) == 0;
}
