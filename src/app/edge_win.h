// The one place the program acts on its windows: the cycle's steps carried
// out, and the events that feed the cycle.
#pragma once

#include "app/cycle.h"

Moment MomentNow();
void Apply(const Steps& steps);
void SetControls(Controls set);

// The workers' end reports (WM_CHECKIP_DONE, WM_SYNC_DONE) with what they
// found; WM_SYNC_DONE without one ends an attempt that sent no update.
void CheckIpDone(const SyncOutcome& found);
void SyncDone(const SyncOutcome* outcome);

// The eight setting edits filled from the settings, loaded again from the
// registry when readStore.
void FillSettingsForms(bool readStore);

// The Sync page's IPv6 line as the option "Update IPv6" wants it: active,
// or empty and inactive.
void ShowIPv6Line(bool on);

// The worker of a StartJob step, its job copied from the settings now;
// false when no thread could be started. Its handle is closed once by the
// handler of its end report. Both edges start their workers so.
bool StartSyncJob(const Step& s);
void CloseWorkerThread();
