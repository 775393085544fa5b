// Which buttons and setting edits are enabled in each state of the client.
#pragma once

// Applies "default", "alloff", "start" or "edit" to the seventeen
// controls; any other word changes nothing.
void SetControlState(const wchar_t* word);
