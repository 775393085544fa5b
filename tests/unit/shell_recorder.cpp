// Recording implementations of the tray, beep, control and timer seams.
#include "shell_recorder.h"

#include "app/control_state.h"
#include "app/window_ops.h"

namespace {
ShellRecord record;
}

ShellRecord& Shell() {
    return record;
}

void ResetShell() {
    record = ShellRecord();
}

int ShellNotifyIcon(unsigned message, const NotifyIconFields& data) {
    record.tray.push_back({message, data});
    record.sequence.push_back("tray " + std::to_string(message));
    return 1;
}

void PlayBeep(unsigned type) {
    record.beeps.push_back(type);
    record.sequence.push_back("beep " + std::to_string(type));
}

void EnableControl(WindowHandle control, bool on) {
    record.enables.push_back({control, on});
    record.sequence.push_back("enable");
}

void StartTimer(WindowHandle, unsigned id, unsigned milliseconds) {
    record.sequence.push_back("settimer " + std::to_string(id) + " " + std::to_string(milliseconds));
}

void StopTimer(WindowHandle, unsigned id) {
    record.sequence.push_back("killtimer " + std::to_string(id));
}
