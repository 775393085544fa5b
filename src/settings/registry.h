// The three registry primitives every registry access goes through, all on
// HKEY_LOCAL_MACHINE. Values are REG_SZ stored without a terminating zero.
#pragma once

#include <string>

extern const wchar_t RegistryKeyPath[];  // the settings key
extern const wchar_t RunKeyPath[];       // the autostart key
extern const wchar_t RunValueName[];     // our value under the autostart key

// The value's text, at most 256 characters (a longer value is cut); empty
// when the key or value is missing or cannot be read.
std::wstring RegReadString(const wchar_t* subkey, const wchar_t* name);

// Creates the key if needed and stores text as REG_SZ with a byte count of
// exactly twice its length.
bool RegWriteString(const wchar_t* subkey, const wchar_t* name, const wchar_t* text);

bool RegRemoveString(const wchar_t* subkey, const wchar_t* name);
