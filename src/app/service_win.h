// The program as a Windows service, and the calls that make the tray
// window the service's face.
#pragma once

#include <windows.h>

#include "app/service.h"

// What the face is sent when the service's published state changes.
const UINT WM_SERVICE_STATE = WM_APP + 1;

// True when the command line holds "-service".
bool ServiceSwitchGiven();
// Runs the service until the service manager stops it; its exit code.
int RunService();

// The service is installed to start with Windows: then the tray program
// runs no cycle and is its face. Decided once, at start-up.
bool ServiceStartsWithWindows();
extern bool ServiceFace;
// The running service's process id, 0 when none runs.
unsigned long ServiceProcessId();
bool SendServiceControl(unsigned code);
// From now on, window is posted WM_SERVICE_STATE whenever the service
// publishes, by a thread that sleeps until then.
void WatchServiceState(HWND window);
// The face follows what the service has published (FollowService).
void ShowServiceState();
