// Filling the Config and Account pages from the settings record. Portable:
// the fields are reached through the shared handles and WM_SETTEXT.
#include "settings/forms.h"

#include "app/cycle.h"
#include "app/ui_handles.h"
#include "settings/account.h"
#include "settings/settings.h"
#include "util/text.h"
#include "util/window_link.h"

void FillSettingsForms(bool readStore) {
    LoadSettings(readStore);
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) SendWindowText(SettingEdits[i], FormFieldText(i));
    // A changed pause takes effect at once: the countdown starts again from it.
    ResetCountdown();
}

AuthOutcome SaveFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]) {
    AuthOutcome outcome = TakeFormTexts(texts);
    FillSettingsForms(false);
    return outcome;
}
