// The countdown of the Control group and the storage of the main window's
// handles and cycle state.
#include "app/cycle.h"
#include "app/ui_handles.h"
#include "settings/settings.h"
#include "util/text.h"

WindowHandle TabControl = nullptr;
WindowHandle TabPages[3] = {};
WindowHandle EditButtons[2] = {};
WindowHandle SaveButtons[2] = {};
WindowHandle ReloadButtons[2] = {};
WindowHandle ManualButton = nullptr;
WindowHandle StartButton = nullptr;
WindowHandle StopButton = nullptr;
WindowHandle MinutesStatic = nullptr;
WindowHandle SecondsStatic = nullptr;
WindowHandle StatusBar = nullptr;

bool SyncIdle = true;
int CountdownMinutes = 0;
int CountdownSeconds = 0;

// Restarted from the stored pause by the cycle and by every settings save
// or reload.
void ResetCountdown() {
    CountdownSeconds = 60;
    CountdownMinutes = DecimalValue(SettingsRecord.CLOOP);
    SendWindowText(SecondsStatic, L"0");
    SendWindowText(MinutesStatic, SettingsRecord.CLOOP);
}
