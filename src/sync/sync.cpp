// The workers' jobs and the record of the last sync.
#include "sync/sync.h"

#include <cstdio>

#include "settings/registry.h"
#include "util/clock.h"
#include "util/text.h"

std::wstring UnixTimeText() {
    return DecimalText(UnixSecondsFromTicks(SystemTimeTicks()));
}

std::wstring LocalTimeText() {
    LocalClock t = LocalTimeNow();
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%04d.%02d.%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// The Check IP field whole: its host, and the page it may name.
SyncJob CheckIpJob(const SettingsData& settings) {
    SyncJob job;
    job.server = settings.DomainCheckIP;
    job.tls = settings.SecureCheckIPFlag;
    job.port = job.tls ? 443 : 80;
    return job;
}

// One look at the option decides both the port and the path.
SyncJob UpdateJob(const SettingsData& settings, const std::wstring& address) {
    SyncJob job;
    job.server = settings.DomainDynDNS;
    job.tls = settings.UseSSLFlag;
    job.port = job.tls ? 443 : 80;
    job.auth = settings.AUTH;
    job.hostNames = settings.HostList;
    job.address = address;
    return job;
}

void SaveLastSync(const wchar_t* address) {
    CopyText(SettingsRecord.TIMESTAMP, UnixTimeText().c_str());
    CopyText(SettingsRecord.LASTIP, address);
    for (int setting : {SETTING_LASTIP, SETTING_TIMESTAMP})
        StoreValue(RegistryKeyPath, SettingName(setting), SettingAt(SettingsRecord, setting).text);
}
