// The countdown of the Control group, restarted from the stored pause by
// the cycle and by every settings save or reload.
#include "app/cycle.h"
#include "app/ui_handles.h"
#include "settings/settings.h"
#include "util/text.h"

void ResetCountdown() {
    CountdownSeconds = 60;
    CountdownMinutes = DecimalValue(SettingsRecord.CLOOP);
    SendWindowText(SecondsStatic, L"0");
    SendWindowText(MinutesStatic, SettingsRecord.CLOOP);
}
