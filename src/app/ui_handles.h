// Process-wide handles of the main window's own controls and the cycle
// state. Created once by the window code at start-up and kept until the
// process ends; the portable code only ever passes them on.
#pragma once

#include "util/window.h"

extern WindowHandle TabControl;
extern WindowHandle TabPages[3];      // Sync, Config, Account
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
