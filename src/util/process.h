// The error report box and the running-copy lookup.
#pragma once

// Shows the calling thread's last Windows error for operation in a box;
// returns when the user closes it.
void ReportLastError(const wchar_t* operation);

// True when at least two running processes, the caller included, have the
// file name of programPath (the part after its last backslash).
bool IsSecondInstance(const wchar_t* programPath);
