// The main window procedure: creation work, commands, options, the tray
// icon's mouse handling and closing. The cycle itself is in cycle.cpp.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/control_state.h"
#include "app/cycle.h"
#include "app/forms_win.h"
#include "app/main_window_win.h"
#include "app/notice.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/about_win.h"
#include "shell/tray.h"
#include "util/cmdline.h"
#include "util/process.h"
#include "util/product.h"
#include "util/text.h"

bool MessageLoopRunning = true;
wchar_t ProgramPath[512] = L"";

namespace {

bool Same(const std::wstring& a, const wchar_t* b) {
    return a == b;
}

void CreationWork(HWND window) {
    // Not argument 0: started from an unquoted command line with a blank in
    // its path, that holds only the path's first part. A longer path is cut.
    GetModuleFileNameW(nullptr, ProgramPath, sizeof ProgramPath / sizeof ProgramPath[0]);

    int count = 0;
    wchar_t** args = SplitCommandLine(GetCommandLineW(), &count);

    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(args[i], L"-min") == 0)
            SetTimer(window, IDT_MINIMIZE, 1000, nullptr);
        else if (std::wcscmp(args[i], L"-auto") == 0)
            SetTimer(window, IDT_AUTOSTART, 1000, nullptr);
    }
    if (args != nullptr) FreeArgumentBlock(args);

    if (AutostartIsOn(ProgramPath)) CheckMenuItem(MainMenu, IDM_RUN_WITH_OS, MF_CHECKED);
    if (Same(RegReadString(RegistryKeyPath, L"CheckLastIP"), L"true")) {
        CheckMenuItem(MainMenu, IDM_CHECK_LAST_IP, MF_CHECKED);
        SettingsRecord.CheckLastIPFlag = true;
    }
    if (Same(RegReadString(RegistryKeyPath, L"CheckUseSSL"), L"true")) {
        CheckMenuItem(MainMenu, IDM_SECURE_CONNECT, MF_CHECKED);
        SettingsRecord.UseSSLFlag = true;
    }

    if (IsSecondInstance(ProgramPath)) {
        wchar_t caption[128];
        wchar_t text[1024];
        ProductText(caption, L" \u25CF ERROR");
        std::wstring message(L"Error running ");
        message += ProgramPath;
        message += L":\nOne instance is already running!";
        CopyText(text, message.c_str());
        MessageBoxW(nullptr, text, caption, MB_ICONHAND);
        MessageLoopRunning = false;
    }
}

// One option item: its check mark, its registry value and its flag move
// together; a registry failure does not hold the other two back.
void ToggleOption(UINT id) {
    UINT state = GetMenuState(MainMenu, id, MF_BYCOMMAND);
    if (state != 0 && state != MF_CHECKED) return;
    bool on = state == 0;
    CheckMenuItem(MainMenu, id, on ? MF_CHECKED : MF_UNCHECKED);
    switch (id) {
        case IDM_RUN_WITH_OS:
            // The mark shows what the registry holds, also when the change
            // was refused.
            CheckMenuItem(MainMenu, id, SetAutostart(on, ProgramPath) ? MF_CHECKED : MF_UNCHECKED);
            return;
        case IDM_CHECK_LAST_IP:
            StoreValue(RegistryKeyPath, L"CheckLastIP", on ? L"true" : L"false");
            SettingsRecord.CheckLastIPFlag = on;
            return;
        case IDM_SECURE_CONNECT:
            StoreValue(RegistryKeyPath, L"CheckUseSSL", on ? L"true" : L"false");
            SettingsRecord.UseSSLFlag = on;
            return;
    }
}

void ShowCommandHelp(HWND window) {
    wchar_t caption[128];
    std::wstring title(L"Commandline \u25CF ");
    title += ProductName;
    CopyText(caption, title.c_str());
    MessageBoxW(window, L"Key:\tAction:\n-min\tminimize after start\n-auto\tautosync after start", caption,
                MB_ICONINFORMATION);
}

bool IsMinimized(HWND window, bool* minimized) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return false;
    *minimized = placement.showCmd == SW_SHOWMINIMIZED;
    return true;
}

// A minimised window is hidden (WM_SIZE), so the tray is the way back.
void ToggleRestore(HWND window) {
    bool minimized;
    if (!IsMinimized(window, &minimized)) return;
    if (minimized) {
        ShowWindow(window, SW_SHOW);
        ShowWindow(window, SW_RESTORE);
    } else {
        ShowWindow(window, SW_SHOWMINIMIZED);
    }
}

void TrayCallback(HWND window, LPARAM event) {
    switch (TrayCallbackEvent(static_cast<long>(event))) {
        case TrayAction::ToggleWindow:
            ToggleRestore(window);
            return;
        case TrayAction::ShowMenu: {
            bool minimized;
            if (!IsMinimized(window, &minimized)) return;
            int menu = minimized ? IDR_TRAY_RESTORE : IDR_TRAY_MINIMIZE;
            ShowTrayMenu(window, LoadMenuW(ProgramInstance, MAKEINTRESOURCEW(menu)));
            return;
        }
        case TrayAction::None:
            return;
    }
}

void Command(HWND window, WPARAM id) {
    switch (id) {
        case IDC_START: StartCommand(); return;
        case IDC_STOP: StopCommand(); return;
        case IDC_MANUAL: ManualCommand(); return;
        case IDC_EDIT: SetControlState(L"edit"); return;
        case IDC_SAVE: SaveSettingsForms(); return;
        case IDC_RELOAD: ReloadSettingsForms(); return;
        case IDM_RUN_WITH_OS:
        case IDM_CHECK_LAST_IP:
        case IDM_SECURE_CONNECT: ToggleOption(static_cast<UINT>(id)); return;
        case IDM_EXIT:
        case IDM_TRAY_EXIT: SendMessageW(window, WM_CLOSE, 0, 0); return;
        case IDM_COMMAND: ShowCommandHelp(window); return;
        case IDM_ABOUT:
            // The About window's controls take the font the main window's carry.
            ShowAboutWindow(ProgramInstance, reinterpret_cast<HFONT>(SendMessageW(ManualButton, WM_GETFONT, 0, 0)));
            return;
        case IDM_TRAY_TOGGLE: ToggleRestore(window); return;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // The pages share this class and have a parent; only the main
            // window does the creation work.
            if (reinterpret_cast<CREATESTRUCTW*>(lParam)->hwndParent == nullptr) CreationWork(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            SendMessageW(GetDlgItem(window, IDC_STATUSBAR), WM_SIZE, 0, 0);
            if (wParam == SIZE_MINIMIZED) ShowWindow(window, SW_HIDE);
            return 0;
        case WM_CLOSE:
            // A worker still out is not waited for; its socket is closed.
            if (ActiveSocket != INVALID_SOCKET) CloseConnection(ActiveSocket);
            StopWinsock();
            DestroyWindow(window);
            return 0;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) ShowSelectedTabPage(TabControl, TabPages);
            return 0;
        case WM_COMMAND:
            Command(window, wParam);
            TellStoreFailureOnce();
            return 0;
        case WM_TIMER:
            if (wParam == IDT_MINIMIZE) {
                KillTimer(MainWindow, IDT_MINIMIZE);
                ShowWindow(MainWindow, SW_SHOWMINIMIZED);
            } else {
                CycleTimer(static_cast<unsigned>(wParam));
            }
            return 0;
        case WM_CHECKIP_DONE:
            CheckIpDone();
            return 0;
        case WM_SYNC_DONE:
            SyncDone();
            TellStoreFailureOnce();
            return 0;
        case WM_NET_NOTICE:
            ShowNetNotice(window, lParam);
            return 0;
        case WM_TRAY_CALLBACK:
            if (wParam == TRAY_ICON_UID) TrayCallback(window, lParam);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
