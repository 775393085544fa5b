// Which buttons and setting edits are enabled in each state of the client.
#pragma once

#include "util/window_link.h"

// Applies "default", "alloff", "start" or "edit" to the seventeen
// controls; any other word changes nothing.
void SetControlState(const wchar_t* word);

// Seam: EnableWindow on Windows, a recorder in tests.
void EnableControl(WindowHandle control, bool on);
