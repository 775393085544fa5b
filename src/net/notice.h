// Connection failure notices: what the main window does with WM_NET_NOTICE.
#pragma once

#include <cstdint>

#include "util/window_link.h"

// Main thread only. Reads window and the notice code in lParam: an error
// beep and balloon when balloons are on, and for a socket failure the
// Stop command to window.
void ShowNetNotice(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
