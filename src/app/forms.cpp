// Filling the Config and Account pages from the settings record.
#include "app/forms.h"

#include "app/ui_state.h"
#include "settings/settings.h"

void FillSettingsForms(bool readStore) {
    LoadSettings(readStore);
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) SendWindowText(SettingEdits[i], FormFieldText(i));
}

AuthOutcome SaveFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]) {
    AuthOutcome outcome = TakeFormTexts(texts);
    FillSettingsForms(false);
    return outcome;
}
