// The main window's handles and the cycle state, process-wide. Created once
// by the window code at start-up and kept until the process ends; the
// portable code only ever passes them on.
#pragma once

#include "app/cycle.h"
#include "settings/account.h"
#include "util/window.h"
#include "util/worker.h"

// What the workers' reports arrive as (app/edge_win.cpp).
const unsigned WM_CHECKIP_DONE = 400;
const unsigned WM_SYNC_DONE = 401;
const unsigned WM_NET_NOTICE = 500;

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
// The Sync page's Date, IP and STATUS edits, where an attempt shows itself.
extern WindowHandle QueryEdits[3];
// The Sync page's IPv6 line (label and edit) and the Config page's Check
// IPv6 edit: active only while "Update IPv6" is on.
extern WindowHandle QueryIp6Label;
extern WindowHandle QueryIp6Edit;
extern WindowHandle CheckIp6Edit;
// The eight setting edits, in id order: five on Config, three on Account.
extern WindowHandle SettingEdits[FORM_FIELD_COUNT];

// The cycle state, and the one worker out or null. Main thread only.
extern Cycle CycleState;
extern WorkerHandle WorkerThread;
