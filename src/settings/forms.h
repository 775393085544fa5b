// The Config and Account pages: filling their eight fields from the
// settings record, and saving what the user typed back into it.
#pragma once

#include "settings/account.h"

// Loads the settings (from the registry when readStore, else as the record
// holds them), refills the eight fields and restarts the countdown.
void FillSettingsForms(bool readStore);

// Takes the eight fields into the record, builds AUTH from name and
// password, stores everything through FillSettingsForms(false) and returns
// the controls to the "default" state. Tells the user when AUTH was kept
// because the encoder refused the account text.
void SaveSettingsForms();

// The part of SaveSettingsForms that needs no window: the texts of the
// eight fields (id order) into the record, then FillSettingsForms(false).
AuthOutcome SaveFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]);
