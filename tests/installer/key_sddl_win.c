// Prints the access list of an HKLM key (64-bit view) as SDDL text.
#include <windows.h>
#include <sddl.h>
#include <stdio.h>

int wmain(int argc, wchar_t** argv) {
    HKEY key;
    BYTE sd[8192];
    DWORD size = sizeof sd;
    LPWSTR text;
    if (argc != 2 || RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[1], 0, KEY_READ | KEY_WOW64_64KEY, &key) ||
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, sd, &size) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, 0))
        return 1;
    return wprintf(L"%ls\n", text) < 0;
}
