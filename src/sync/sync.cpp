// The state the workers share with the program, and the record of the last
// sync.
#include "sync/sync.h"

#include <cstdio>

#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "util/clock.h"
#include "util/text.h"

wchar_t CurrentIP[31] = L"";
wchar_t CurrentIP6[CURRENT_IP6_CAPACITY] = L"";
std::string& ResponseBuffer = *new std::string();

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

void SaveLastSync(bool withIPv6) {
    CopyText(SettingsRecord.TIMESTAMP, UnixTimeText().c_str());
    CopyText(SettingsRecord.LASTIP, CurrentIP);
    if (withIPv6) CopyText(SettingsRecord.LASTIP6, CurrentIP6);
    for (int setting : {SETTING_LASTIP, SETTING_LASTIP6, SETTING_TIMESTAMP})
        if (setting != SETTING_LASTIP6 || withIPv6)
            StoreValue(RegistryKeyPath, SettingName(setting), SettingAt(SettingsRecord, setting).text);
}
