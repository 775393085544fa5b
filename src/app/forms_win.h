// The main window's handling of the settings forms (Save, Reload) and of a
// registry that refuses our writes.
#pragma once

// Save on either page: the fields into the record and the registry, the
// countdown restarted, the "default" state, then one box with whatever
// could not be taken.
void SaveSettingsForms();

// Reload on either page: the settings from the registry into the fields,
// and the countdown restarted.
void ReloadSettingsForms();

// Once a run, a box naming the key a settings write failed under and how
// to let the program write there.
void TellStoreFailureOnce();
