// Connection and certificate failure notices: what the main window does with WM_NET_NOTICE.
#pragma once

#include <cstdint>

#include "util/window.h"

// Main thread only. Reads the notice code in lParam: an error beep and
// balloon when balloons are on, and for a socket failure the Stop command
// to window.
void ShowNetNotice(WindowHandle window, std::intptr_t lParam);
