// The one place the program acts on its windows: the cycle's steps carried
// out, and the events that feed the cycle.
#pragma once

#include "app/cycle.h"

Moment MomentNow();
void Apply(const Steps& steps);
void SetControls(Controls set);

// The workers' end reports (WM_CHECKIP_DONE, WM_SYNC_DONE).
void CheckIpDone();
void SyncDone();

// The eight setting edits filled from the settings, loaded again from the
// registry when readStore.
void FillSettingsForms(bool readStore);

// Where the workers' texts go instead of the Sync page: set by the service,
// which has none.
extern void (*ReportedText)(Field field, const wchar_t* text);
