// What a user and another logon session do to the installer, from outside:
//   installer_pages.exe finish TITLE   presses Next/Install (button 1 of the window TITLE) until the
//                                      Finish page shows; exit code 0 then, 1 after 120 s
//   installer_pages.exe end TITLE      ends the process of the window TITLE without pressing Finish
//   installer_pages.exe hold FILE      keeps FILE open without sharing, as a running copy does,
//                                      for 120 s or until killed; prints "holding" once it does
//   installer_pages.exe uninstall FOLDER [SWITCH]
//                                      runs FOLDER\Uninstall.exe /S [SWITCH] _?=FOLDER as a deployment tool
//                                      does (_?= unquoted, as NSIS needs it) and ends with its exit code
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

// The visible dialog whose title begins with title (NSIS adds a blank at its end).
static HWND Installer(const wchar_t* title) {
    wchar_t text[256];
    for (HWND w = NULL; (w = FindWindowExW(NULL, w, L"#32770", NULL)) != NULL;)
        if (IsWindowVisible(w) && GetWindowTextW(w, text, 256) && wcsncmp(text, title, wcslen(title)) == 0) return w;
    return NULL;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 || argc == 4) {
        if (wcscmp(argv[1], L"uninstall") == 0) {
            wchar_t line[1024];
            STARTUPINFOW startup = {sizeof startup};
            PROCESS_INFORMATION p;
            DWORD code = 1;
            swprintf(line, 1024, L"\"%ls\\Uninstall.exe\" /S %ls _?=%ls", argv[2], argc == 4 ? argv[3] : L"", argv[2]);
            if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &p)) return 1;
            WaitForSingleObject(p.hProcess, 120000);
            GetExitCodeProcess(p.hProcess, &code);
            return (int)code;
        }
    }
    if (argc != 3) return 2;
    if (wcscmp(argv[1], L"hold") == 0) {
        HANDLE file = CreateFileW(argv[2], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE) return 1;
        printf("holding\n");
        fflush(stdout);
        Sleep(120000);
        return 0;
    }
    if (wcscmp(argv[1], L"end") == 0) {
        DWORD pid = 0;
        HWND window = Installer(argv[2]);
        HANDLE process =
            window && GetWindowThreadProcessId(window, &pid) ? OpenProcess(PROCESS_TERMINATE, FALSE, pid) : NULL;
        return process && TerminateProcess(process, 99) ? 0 : 1;
    }
    for (int i = 0; i < 600; ++i, Sleep(200)) {
        HWND window = Installer(argv[2]), next = window ? GetDlgItem(window, 1) : NULL;
        wchar_t text[64] = L"";
        DWORD_PTR length = 0;
        if (!next || !SendMessageTimeoutW(next, WM_GETTEXT, 64, (LPARAM)text, SMTO_ABORTIFHUNG, 3000, &length))
            continue;
        if (wcscmp(text, L"&Finish") == 0) return 0;
        // The page changes after the click; the next look finds the new one.
        if (IsWindowEnabled(next) && IsWindowVisible(next)) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), (LPARAM)next);
            Sleep(800);
        }
    }
    return 1;
}
