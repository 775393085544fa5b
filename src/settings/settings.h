// The process-wide settings record, its checks and defaults, and its store.
#pragma once

// <cmath> defines a DOMAIN macro on both C libraries; include it first so
// the guard keeps it from coming back, then drop it.
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>
#undef DOMAIN
#undef DEBUG

struct SettingsData {
    wchar_t DomainCheckIP[68];
    wchar_t DomainDynDNS[68];
    wchar_t TOUT[8];
    wchar_t CLOOP[8];
    wchar_t DEBUG[8];
    wchar_t AUTH[64];
    wchar_t DOMAIN[256];
    wchar_t LASTIP[32];
    wchar_t TIMESTAMP[32];
    bool CheckLastIPFlag;
    bool UseSSLFlag;
    std::vector<std::wstring> HostList;  // the non-empty lines of DOMAIN
};

extern SettingsData SettingsRecord;

extern const wchar_t DEFAULT_CHECKIP_HOST[];
extern const wchar_t DEFAULT_DYNDNS_HOST[];

const int SETTINGS_COUNT = 9;

// Name (= registry value), default and capacity of the nine stored fields,
// in load order.
struct SettingInfo {
    const wchar_t* name;
    const wchar_t* defaultText;
    std::size_t capacity;
};
const SettingInfo& SettingAt(int index);
wchar_t* SettingField(SettingsData& record, int index);

// Reads the nine values (readStore) or takes the record as it is, checks
// each, replaces a failing one by its default, writes all nine back, and
// rebuilds HostList.
void LoadSettings(bool readStore);

void RebuildHostList();

// Whether DEBUG asks for balloons: exactly "true".
bool BalloonsOn();
