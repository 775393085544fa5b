// The sync cycle as the main window runs it: Start, Stop, Manual, the
// countdown and the main thread's side of the handshake with the workers.
// Everything here runs on the main thread.
#pragma once

void ResetCountdown();

void StartCommand();   // 240
void StopCommand();    // 241
void ManualCommand();  // 242

// WM_TIMER for the countdown, autostart and guard timers; other ids do
// nothing (the minimise timer is the window's own).
void CycleTimer(unsigned id);

void CheckIpDone();  // WM_CHECKIP_DONE
void SyncDone();     // WM_SYNC_DONE
