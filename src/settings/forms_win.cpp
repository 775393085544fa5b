// Windows side of the settings forms: reading the eight fields and telling
// the user when the account could not be encoded.
#include <windows.h>

#include "app/control_state.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "settings/forms.h"

void SaveSettingsForms() {
    wchar_t texts[FORM_FIELD_COUNT][FORM_TEXT_CAPACITY];
    const wchar_t* fields[FORM_FIELD_COUNT];
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) {
        // The first five fields are on the Config page, the rest on Account.
        HWND page = TabPages[i < FORM_NAME_INDEX ? 1 : 2];
        texts[i][0] = L'\0';
        GetDlgItemTextW(page, IDC_FIRST_SETTING + i, texts[i], FORM_TEXT_CAPACITY);
        fields[i] = texts[i];
    }
    AuthOutcome outcome = SaveFormTexts(fields);
    SetControlState(L"default");
    // Told last, so the box finds everything else already saved and the
    // forms back in their resting state.
    if (const wchar_t* message = AuthOutcomeMessage(outcome))
        MessageBoxW(MainWindow, message, ProductName, MB_OK | MB_ICONWARNING);
}
