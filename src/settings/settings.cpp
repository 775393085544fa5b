// Settings record: load, check, correct and store the nine values, and the
// host list derived from DOMAIN.
#include "settings/settings.h"

#include <cwchar>

#include "net/transport.h"
#include "settings/registry.h"
#include "util/base64.h"
#include "util/cmdline.h"
#include "util/text.h"

SettingsData& SettingsRecord = *new SettingsData();
const wchar_t* volatile FailedStoreKey = nullptr;

// The public check-IP page and update server of the DynDNS service.
const wchar_t DEFAULT_CHECKIP_HOST[] = L"checkip.dyndns.org";
const wchar_t DEFAULT_DYNDNS_HOST[] = L"members.dyndns.org";

namespace {

enum class Check { Host, HostAndPath, Range, Switch, Base64, NonEmpty };

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
    {L"DomainCheckIP", [](SettingsData& r) { return Field(r.DomainCheckIP); }, DEFAULT_CHECKIP_HOST, Check::HostAndPath, 0, 0},
    {L"DomainDynDNS", [](SettingsData& r) { return Field(r.DomainDynDNS); }, DEFAULT_DYNDNS_HOST, Check::Host, 0, 0},
    {L"TOUT", [](SettingsData& r) { return Field(r.TOUT); }, L"3000", Check::Range, TIMEOUT_MIN_MS, TIMEOUT_MAX_MS},
    {L"CLOOP", [](SettingsData& r) { return Field(r.CLOOP); }, L"60", Check::Range, PAUSE_MIN_MINUTES,
     PAUSE_MAX_MINUTES},
    {L"DEBUG", [](SettingsData& r) { return Field(r.DEBUG); }, SWITCH_OFF_WORD, Check::Switch, 0, 0},
    {L"AUTH", [](SettingsData& r) { return Field(r.AUTH); }, L"NULL", Check::Base64, 0, 0},
    {L"DOMAIN", [](SettingsData& r) { return Field(r.DOMAIN); }, L"NULL", Check::NonEmpty, 0, 0},
    {L"LASTIP", [](SettingsData& r) { return Field(r.LASTIP); }, L"NULL", Check::NonEmpty, 0, 0},
    {L"TIMESTAMP", [](SettingsData& r) { return Field(r.TIMESTAMP); }, L"NULL", Check::NonEmpty, 0, 0},
};

// Letters, digits, '-' and '.': what a host name is written with.
bool IsHostText(const std::wstring& text) {
    return text.find_first_not_of(HOST_CHARACTERS) == std::wstring::npos;
}

// A host field passes when it is written with host characters only and is
// a strict dotted quad, or a name that resolves. The name itself is kept,
// not its address.
bool HostPasses(const wchar_t* field) {
    if (field[0] == L'\0' || !IsHostText(field)) return false;
    if (!IsHostName(field)) return ParseIPv4(field) != 0xFFFFFFFFu;
    wchar_t scratch[HOST_TEXT_CAPACITY];
    CopyText(scratch, ServerNameOf(field).c_str());
    ResolveHost(scratch);
    return ParseIPv4(scratch) != 0xFFFFFFFFu;
}

// A host, then perhaps a path from its first '/' on, written with path
// characters only, so it cannot end the request line.
bool HostAndPathPasses(const wchar_t* field) {
    std::wstring text(field), host = CheckIpHostOf(field);
    return HostPasses(host.c_str()) && text.find_first_not_of(PATH_CHARACTERS, host.size()) == std::wstring::npos;
}

bool Passes(const SettingRow& row, const wchar_t* field) {
    switch (row.check) {
        case Check::Host:
            return HostPasses(field);
        case Check::HostAndPath:
            return HostAndPathPasses(field);
        case Check::Range: {
            if (field[0] == L'\0') return false;
            int v = DecimalValue(field);
            return v >= row.low && v <= row.high;
        }
        case Check::Switch:
            return std::wcscmp(field, SWITCH_OFF_WORD) == 0 || std::wcscmp(field, SWITCH_ON_WORD) == 0;
        case Check::Base64:
            // Anything else would travel into the Authorization line as it is.
            return IsBase64Text(field);
        case Check::NonEmpty:
            return field[0] != L'\0';
    }
    return false;
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
    SettingsRecord.HostList = HostNames(SettingsRecord.DOMAIN, nullptr);
}

std::vector<std::wstring> HostNames(const wchar_t* domain, std::vector<std::wstring>* refused) {
    std::vector<std::wstring> names;
    std::wstring rest(domain);
    while (!rest.empty()) {
        std::size_t end = rest.find(L'\n');
        std::wstring line = rest.substr(0, end);
        rest.erase(0, end == std::wstring::npos ? end : end + 1);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        std::size_t first = line.find_first_not_of(L" \t"), last = line.find_last_not_of(L" \t");
        if (first == std::wstring::npos) continue;
        std::wstring name = line.substr(first, last - first + 1);
        if (IsHostText(name))
            names.push_back(name);
        else if (refused != nullptr)
            refused->push_back(line);
    }
    return names;
}

std::wstring CheckIpHostOf(const wchar_t* field) {
    std::wstring text(field);
    return text.substr(0, text.find(L'/'));
}

bool BalloonsOn(const SettingsData& record) {
    return std::wcscmp(record.DEBUG, SWITCH_ON_WORD) == 0;
}

bool AutostartIsOn(const wchar_t* programPath) {
    return RegReadString(RunKeyPath, RunValueName) == AutostartCommandFor(programPath);
}

bool AutostartLeftUnquoted = false;

bool QuoteAutostart(const wchar_t* programPath) {
    std::wstring quoted = AutostartCommandFor(programPath), unquoted = std::wstring(programPath) + L" -min -auto";
    if (quoted != unquoted && RegReadString(RunKeyPath, RunValueName) == unquoted) {
        RegWriteString(RunKeyPath, RunValueName, quoted.c_str());
        AutostartLeftUnquoted = !AutostartIsOn(programPath);
        if (AutostartLeftUnquoted && FailedStoreKey == nullptr) FailedStoreKey = RunKeyPath;
    }
    return AutostartIsOn(programPath);
}

bool SetAutostart(bool on, const wchar_t* programPath) {
    if (on)
        RegWriteString(RunKeyPath, RunValueName, AutostartCommandFor(programPath).c_str());
    else
        RegRemoveString(RunKeyPath, RunValueName);
    // Off leaves no value of ours, also not an earlier version's unquoted one.
    bool took = on ? AutostartIsOn(programPath) : RegReadString(RunKeyPath, RunValueName).empty();
    if (!took && FailedStoreKey == nullptr) FailedStoreKey = RunKeyPath;
    return AutostartIsOn(programPath);
}

std::wstring StoreFailureText(const wchar_t* key) {
    // Only administrators may change the Run key, whatever the installer did;
    // the installer opens the settings key to every user.
    const wchar_t* advice = std::wcscmp(key, RunKeyPath) == 0
                                ? L"To change whether the program starts with Windows, choose Start with Windows in "
                                  L"the installer, or start the program once with Run as administrator."
                                : L"Reinstall the program, which lets every user save its settings, or start it "
                                  L"once as administrator.";
    std::wstring text = std::wstring(L"Settings could not be saved under HKEY_LOCAL_MACHINE\\") + key + L".\n\n";
    if (std::wcscmp(key, RunKeyPath) == 0 && AutostartLeftUnquoted)
        text += L"The autostart entry starts this program by its path without quotes, as an earlier version wrote "
                L"it, so Windows has to guess where the path ends; it could not be rewritten with quotes, and Run "
                L"with OS shows unchecked.\n\n";
    return text + advice;
}
