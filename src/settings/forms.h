// The Config and Account pages: filling their eight fields from the
// settings record, and taking what the user typed back into it. The window
// procedure restarts the countdown and sets the control state afterwards.
#pragma once

#include "settings/account.h"
#include "util/window.h"

// The eight edits, in id order: five on the Config page, three on Account.
extern WindowHandle SettingEdits[FORM_FIELD_COUNT];

// Loads the settings (from the registry when readStore, else as the record
// holds them) and refills the eight fields.
void FillSettingsForms(bool readStore);

// The texts of the eight fields (id order) into the record, then
// FillSettingsForms(false), which checks and stores them. Returns what was
// refused (TakeFormTexts).
std::wstring SaveFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]);
