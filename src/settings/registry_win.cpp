// Windows implementation of the registry primitives in registry.h.
#include "settings/registry.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {
const DWORD kReadCharacters = 256;

struct KeyCloser {
    HKEY key;
    ~KeyCloser() { RegCloseKey(key); }
};
}  // namespace

std::wstring RegReadString(const wchar_t* subkey, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, subkey, &key) != ERROR_SUCCESS) return std::wstring();
    KeyCloser closer{key};

    // Room for 256 characters and a terminator the stored form lacks.
    wchar_t buffer[kReadCharacters + 1] = {};
    DWORD size = kReadCharacters * sizeof(wchar_t);
    LONG r = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    if (r == ERROR_SUCCESS) return std::wstring(buffer);
    if (r != ERROR_MORE_DATA) return std::wstring();

    // Longer than we keep: read it whole, then cut to 256 characters.
    std::vector<wchar_t> whole(size / sizeof(wchar_t) + 2, L'\0');
    DWORD wholeSize = static_cast<DWORD>((whole.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(whole.data()), &wholeSize) !=
        ERROR_SUCCESS)
        return std::wstring();
    std::wstring text(whole.data());
    if (text.size() > kReadCharacters) text.resize(kReadCharacters);
    return text;
}

bool RegWriteString(const wchar_t* subkey, const wchar_t* name, const wchar_t* text) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    KeyCloser closer{key};

    // RegSetValueExW stores a terminator of its own when the character right
    // after the counted bytes is NUL; a non-NUL guard keeps the stored form
    // exactly the text.
    std::wstring guarded(text);
    std::size_t length = guarded.size();
    guarded.push_back(L'\x1');
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(guarded.c_str()),
                          static_cast<DWORD>(length * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegRemoveString(const wchar_t* subkey, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    KeyCloser closer{key};
    return RegDeleteValueW(key, name) == ERROR_SUCCESS;
}
