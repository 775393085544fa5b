// Windows side of the settings forms: reading the eight fields, and the
// boxes that tell the user what could not be kept.
#include <windows.h>

#include <string>

#include "app/edge_win.h"
#include "app/forms_win.h"
#include "app/resource_ids.h"
#include "app/ui_state.h"
#include "settings/settings.h"
#include "util/product.h"
#include "util/text.h"

void SaveSettingsForms() {
    wchar_t texts[FORM_FIELD_COUNT][FORM_TEXT_CAPACITY];
    const wchar_t* fields[FORM_FIELD_COUNT];
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) {
        // The first five fields are on the Config page, the rest on Account.
        HWND page = TabPages[i < FORM_NAME_INDEX ? 1 : 2];
        texts[i][0] = L'\0';
        GetDlgItemTextW(page, IDC_CHECKIP + i, texts[i], FORM_TEXT_CAPACITY);
        fields[i] = texts[i];
    }
    std::wstring refusals = TakeFormTexts(fields);
    // Editable only while "Update IPv6" is on (the control states); then
    // taken like the Check IP field, cut to its field and checked by the load.
    if (SettingsRecord.UseIPv6Flag) {
        wchar_t checkIp6[FORM_TEXT_CAPACITY] = L"";
        GetDlgItemTextW(TabPages[1], IDC_CHECKIP6, checkIp6, FORM_TEXT_CAPACITY);
        CopyText(SettingsRecord.DomainCheckIP6, checkIp6);
    }
    FillSettingsForms(false);
    // A changed pause takes effect at once: the countdown starts again from it.
    Apply(RestartCountdown(CycleState, SettingsRecord, MomentNow()));
    SetControls(Controls::Default);
    // Told last, so the box finds everything else already saved and the
    // forms back in their resting state.
    if (!refusals.empty()) MessageBoxW(MainWindow, refusals.c_str(), ProductName, MB_OK | MB_ICONWARNING);
}

void ReloadSettingsForms() {
    FillSettingsForms(true);
    Apply(RestartCountdown(CycleState, SettingsRecord, MomentNow()));
}

void TellStoreFailureOnce() {
    static bool told = false;
    const wchar_t* key = FailedStoreKey;
    if (told || key == nullptr) return;
    told = true;
    std::wstring text = StoreFailureText(key);
    MessageBoxW(MainWindow, text.c_str(), ProductName, MB_OK | MB_ICONWARNING);
}
