// The About window: product, version, OpenSSL and machine information,
// the donation line and three links.
#pragma once

// Opens the About window, hides the main window and serves every window of
// the thread in a loop of its own until the About window is destroyed.
// Returns 0. Main thread only.
int ShowAboutWindow();
