// Recording stand-ins for the window and shell seams of the main window
// (tray calls, beeps, enabling controls, timers), for native tests.
#pragma once

#include <string>
#include <vector>

#include "shell/tray.h"
#include "util/window_link.h"

struct TrayCall {
    unsigned message;
    NotifyIconFields fields;
};

struct EnableCall {
    WindowHandle control;
    bool on;
};

struct ShellRecord {
    std::vector<TrayCall> tray;
    std::vector<unsigned> beeps;
    std::vector<EnableCall> enables;
    // Every seam call in order, as short words: "tray 1", "beep 16",
    // "enable", "settimer 260 1000", "killtimer 260".
    std::vector<std::string> sequence;
};

ShellRecord& Shell();
void ResetShell();
