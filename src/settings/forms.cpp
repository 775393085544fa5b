// Filling the Config and Account pages from the settings record. Portable:
// the fields are reached through WM_SETTEXT.
#include "settings/forms.h"

#include "settings/settings.h"

WindowHandle SettingEdits[FORM_FIELD_COUNT] = {};

void FillSettingsForms(bool readStore) {
    LoadSettings(readStore);
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) SendWindowText(SettingEdits[i], FormFieldText(i));
}

std::wstring SaveFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]) {
    std::wstring refusals = TakeFormTexts(texts);
    FillSettingsForms(false);
    return refusals;
}
