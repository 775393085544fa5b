// The process-wide settings record, its checks and defaults, and its store.
#pragma once

// <cmath> defines a DOMAIN macro on both C libraries; include it first so
// the guard keeps it from coming back, then drop it.
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "net/transport.h"
#include "util/limits.h"
#undef DOMAIN
#undef DEBUG

struct SettingsData {
    wchar_t DomainCheckIP[HOST_TEXT_CAPACITY];
    wchar_t DomainDynDNS[HOST_TEXT_CAPACITY];
    wchar_t TOUT[8];
    wchar_t CLOOP[8];
    wchar_t DEBUG[8];
    wchar_t AUTH[64];
    wchar_t DOMAIN[256];
    wchar_t LASTIP[32];
    wchar_t TIMESTAMP[32];
    bool CheckLastIPFlag;
    bool UseSSLFlag;
    bool SecureCheckIPFlag;  // the SecureCheckIP option: the check-IP query over TLS
    std::vector<std::wstring> HostList;  // the host names of DOMAIN
};

// Never destroyed: a worker still out when the program ends may read it.
extern SettingsData& SettingsRecord;

extern const wchar_t DEFAULT_CHECKIP_HOST[];
extern const wchar_t DEFAULT_DYNDNS_HOST[];

// The nine settings, in load order.
enum SettingIndex {
    SETTING_CHECKIP_HOST,
    SETTING_DYNDNS_HOST,
    SETTING_TOUT,
    SETTING_CLOOP,
    SETTING_DEBUG,
    SETTING_AUTH,
    SETTING_DOMAIN,
    SETTING_LASTIP,
    SETTING_TIMESTAMP,
    SETTINGS_COUNT
};

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

// HostList from DOMAIN (HostNames).
void RebuildHostList();

// The host names of a DOMAIN text: one a line (LF, or CR LF), the blanks
// around it trimmed, empty lines skipped. A line is a name only when it
// holds nothing but letters, digits, '-' and '.', so that no name can add
// or cut a parameter of the update request; the other lines go to refused
// (when not null), as typed.
std::vector<std::wstring> HostNames(const wchar_t* domain, std::vector<std::wstring>* refused);

// The host of a Check IP field, without the path it may carry ("host/path").
std::wstring CheckIpHostOf(const wchar_t* field);

// Whether DEBUG asks for balloons: exactly "true".
bool BalloonsOn(const SettingsData& record = SettingsRecord);

// RegWriteString that remembers the first key a write failed under, so
// the user can be told once.
bool StoreValue(const wchar_t* key, const wchar_t* name, const wchar_t* text);
// That key, or null while every write has succeeded.
extern const wchar_t* volatile FailedStoreKey;

// Whether the autostart value is the command this version writes for the
// program at programPath (AutostartCommandFor).
bool AutostartIsOn(const wchar_t* programPath);
// At start: an earlier version's value of ours, the path unquoted though it
// holds a blank, is rewritten quoted, since Windows guesses where such a
// path ends. Answers what the menu shows, AutostartIsOn; a refused rewrite
// counts as a failed write under the Run key and sets AutostartLeftUnquoted.
bool QuoteAutostart(const wchar_t* programPath);
extern bool AutostartLeftUnquoted;
// Writes (on) or removes the autostart value, then answers what the menu
// shows: AutostartIsOn. A change that did not take counts as a failed write
// under the Run key.
bool SetAutostart(bool on, const wchar_t* programPath);

// What the user is told once a write failed under key: where, why when
// the autostart value was left unquoted, and what lets the program write
// there.
std::wstring StoreFailureText(const wchar_t* key);
