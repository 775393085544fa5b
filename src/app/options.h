// The File menu's options, one table for the window and the service, so an
// option added here is read by both.
#pragma once

#include <vector>

#include "settings/settings.h"

// The check mark, the stored value and the flag of each move together. Run
// with OS is the autostart entry (no value, no flag); the others store
// "true" or "false" under the settings key.
struct MenuOption {
    unsigned id;
    const wchar_t* value;
    bool SettingsData::*flag;
};
const std::vector<MenuOption>& MenuOptions();

// Each stored option's flag as the settings key holds it.
void ReadStoredOptions(SettingsData& s);
