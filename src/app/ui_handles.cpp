// Storage for the process-wide handles and cycle state.
#include "app/ui_handles.h"

WindowHandle MainWindow = nullptr;
WindowHandle TabControl = nullptr;
WindowHandle TabPages[3] = {};
WindowHandle QueryEdits[3] = {};
WindowHandle SettingEdits[8] = {};
WindowHandle EditButtons[2] = {};
WindowHandle SaveButtons[2] = {};
WindowHandle ReloadButtons[2] = {};
WindowHandle ManualButton = nullptr;
WindowHandle StartButton = nullptr;
WindowHandle StopButton = nullptr;
WindowHandle MinutesStatic = nullptr;
WindowHandle SecondsStatic = nullptr;
WindowHandle StatusBar = nullptr;

bool SyncIdle = true;
int CountdownMinutes = 0;
int CountdownSeconds = 0;
WorkerHandle WorkerThread = nullptr;

const wchar_t ProductName[] = L"DynDNS Velloq Client";
const wchar_t ProductVersion[] = L"2.0.0.2";
