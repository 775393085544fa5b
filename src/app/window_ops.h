// Timers of the main window, as the portable cycle code sets them.
#pragma once

#include "util/window_link.h"

// SetTimer without a timer procedure (arrives as WM_TIMER), and KillTimer.
void StartTimer(WindowHandle window, unsigned id, unsigned milliseconds);
void StopTimer(WindowHandle window, unsigned id);
