// The process-wide settings record, its checks and defaults, and its store.
#pragma once

// <cmath> defines a DOMAIN macro on both C libraries; include it first so
// the guard keeps it from coming back, then drop it.
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "settings/limits.h"
#undef DOMAIN
#undef DEBUG

struct SettingsData {
    wchar_t DomainCheckIP[HOST_FIELD_CAPACITY];
    wchar_t DomainDynDNS[HOST_FIELD_CAPACITY];
    wchar_t TOUT[8];
    wchar_t CLOOP[8];
    wchar_t DEBUG[8];
    wchar_t AUTH[64];
    wchar_t DOMAIN[256];
    wchar_t LASTIP[32];
    wchar_t TIMESTAMP[32];
    bool CheckLastIPFlag;
    bool UseSSLFlag;
    std::vector<std::wstring> HostList;  // the host names of DOMAIN
};

// Never destroyed: a worker still out when the program ends may read it.
extern SettingsData& SettingsRecord;

extern const wchar_t DEFAULT_CHECKIP_HOST[];
extern const wchar_t DEFAULT_DYNDNS_HOST[];

const int SETTINGS_COUNT = 9;

// One stored setting's field in a record.
struct SettingField {
    wchar_t* text;
    std::size_t capacity;  // characters, terminator included
};

// The index-th setting in load order (0..8): its registry value name and
// its field in record.
const wchar_t* SettingName(int index);
SettingField SettingAt(SettingsData& record, int index);

// Reads the nine values (readStore) or takes the record as it is, checks
// each, replaces a failing one by its default, writes all nine back, and
// rebuilds HostList.
void LoadSettings(bool readStore);

// HostList from DOMAIN: one name a line (LF, or CR LF); a line with a space
// or another control character is left out.
void RebuildHostList();

// Whether DEBUG asks for balloons: exactly "true".
bool BalloonsOn();

// RegWriteString that remembers the first key a write failed under, so
// the user can be told once.
bool StoreValue(const wchar_t* key, const wchar_t* name, const wchar_t* text);
// That key, or null while every write has succeeded.
extern const wchar_t* volatile FailedStoreKey;
