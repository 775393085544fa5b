// The error report box and the running-copy lookup.
#pragma once

// Shows the calling thread's last Windows error for operation in a box;
// returns when the user closes it.
void ReportLastError(const wchar_t* operation);

// True when at least two running processes, the caller included, are
// copies of programPath (CountsAsCopy); the service's process is none.
bool IsSecondInstance(const wchar_t* programPath, unsigned long serviceProcess = 0);

// Whether the process `id` with this image path (a device path) counts as a
// copy of programPath: the same file name (the part after the last
// backslash), and not the service's process, which runs the same file.
bool CountsAsCopy(const wchar_t* image, unsigned long id, const wchar_t* programPath, unsigned long serviceProcess);
