// Splits a command line into arguments with the program's own quoting
// rules: blanks separate, double quotes group, there is no escape.
#pragma once

#include <string>

// Returns a null-terminated table of argument pointers; table and texts lie
// in one block that FreeArgumentBlock releases. *count receives the number
// of arguments (0 for an empty or all-blank line; slot 0 is then null).
// Returns null only when the block cannot be allocated (count is then 0).
wchar_t** SplitCommandLine(const wchar_t* commandLine, int* count);

void FreeArgumentBlock(wchar_t** table);

// The autostart command for the program at programPath: the path, in
// quotes when it holds a blank (else Windows splits it there), then
// " -min -auto".
std::wstring AutostartCommandFor(const std::wstring& programPath);
