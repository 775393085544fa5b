// Process-wide handles of the main window and its controls. Created once
// by the window code at start-up and kept until the process ends; the
// portable code only ever passes them on.
#pragma once

#include "util/window_link.h"
#include "util/worker.h"

extern WindowHandle MainWindow;
extern WindowHandle TabControl;
extern WindowHandle TabPages[3];      // Sync, Config, Account
extern WindowHandle QueryEdits[3];    // Date, IP, STATUS (ids 220-222)
extern WindowHandle SettingEdits[8];  // ids 223-230
extern WindowHandle EditButtons[2];   // [0] Config page, [1] Account page
extern WindowHandle SaveButtons[2];
extern WindowHandle ReloadButtons[2];
extern WindowHandle ManualButton;
extern WindowHandle StartButton;
extern WindowHandle StopButton;
extern WindowHandle MinutesStatic;
extern WindowHandle SecondsStatic;
extern WindowHandle StatusBar;

// The cycle state, written on the main thread only.
extern bool SyncIdle;
extern int CountdownMinutes;
extern int CountdownSeconds;
extern WorkerHandle WorkerThread;

extern const wchar_t ProductName[];     // "DynDNS Velloq Client"
extern const wchar_t ProductVersion[];  // "2.0.0.2"
