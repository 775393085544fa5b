// The storage of the main window's handles and the cycle state.
#include "app/ui_state.h"

WindowHandle TabControl = nullptr;
WindowHandle TabPages[3] = {};
WindowHandle EditButtons[2] = {};
WindowHandle SaveButtons[2] = {};
WindowHandle ReloadButtons[2] = {};
WindowHandle ManualButton = nullptr;
WindowHandle StartButton = nullptr;
WindowHandle StopButton = nullptr;
WindowHandle MinutesStatic = nullptr;
WindowHandle SecondsStatic = nullptr;
WindowHandle StatusBar = nullptr;
WindowHandle QueryEdits[3] = {};
WindowHandle QueryIp6Label = nullptr;
WindowHandle QueryIp6Edit = nullptr;
WindowHandle CheckIp6Edit = nullptr;
WindowHandle SettingEdits[FORM_FIELD_COUNT] = {};

Cycle CycleState;
WorkerHandle WorkerThread = nullptr;
