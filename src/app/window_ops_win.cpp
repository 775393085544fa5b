// Windows side of the window seams: timers and enabling controls.
#include <windows.h>

#include "app/control_state.h"
#include "app/window_ops.h"

void StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
    SetTimer(window, id, milliseconds, nullptr);
}

void StopTimer(WindowHandle window, unsigned id) {
    KillTimer(window, id);
}

void EnableControl(WindowHandle control, bool on) {
    EnableWindow(control, on ? TRUE : FALSE);
}
