// The main window procedure: creation work, commands, options, the tray
// icon's mouse handling and closing. The cycle itself is in cycle.cpp.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/edge_win.h"
#include "app/forms_win.h"
#include "app/main_window_win.h"
#include "app/resource_ids.h"
#include "app/ui_state.h"
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
wchar_t AutostartCommand[512] = L"";

namespace {

// The File menu's options: the check mark, the registry value and the flag
// of each move together. Run with OS stores the autostart command, or
// nothing; the other two store "true" or "false".
struct MenuOption {
    UINT id;
    const wchar_t* key;
    const wchar_t* value;
    bool SettingsData::*flag;  // null for Run with OS
};

const MenuOption kOptions[] = {
    {IDM_RUN_WITH_OS, RunKeyPath, RunValueName, nullptr},
    {IDM_CHECK_LAST_IP, RegistryKeyPath, L"CheckLastIP", &SettingsData::CheckLastIPFlag},
    {IDM_SECURE_CONNECT, RegistryKeyPath, L"CheckUseSSL", &SettingsData::UseSSLFlag},
};

const wchar_t* OnText(const MenuOption& o) {
    return o.flag == nullptr ? AutostartCommand : L"true";
}

void CreationWork(HWND window) {
    int count = 0;
    wchar_t** args = SplitCommandLine(GetCommandLineW(), &count);
    // Without any argument there is no path as typed; the module's own file
    // name is the next best thing for the autostart value and the lookup.
    if (count >= 1) {
        CopyText(ProgramPath, args[0]);
    } else {
        GetModuleFileNameW(nullptr, ProgramPath, 512);
        ProgramPath[511] = L'\0';
    }
    std::wstring autostart(ProgramPath);
    autostart += L" -min -auto";
    CopyText(AutostartCommand, autostart.c_str());

    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(args[i], L"-min") == 0)
            SetTimer(window, IDT_MINIMIZE, 1000, nullptr);
        else if (std::wcscmp(args[i], L"-auto") == 0)
            SetTimer(window, IDT_AUTOSTART, 1000, nullptr);
    }
    if (args != nullptr) FreeArgumentBlock(args);

    for (const MenuOption& o : kOptions) {
        if (RegReadString(o.key, o.value) != OnText(o)) continue;
        CheckMenuItem(MainMenu, o.id, MF_CHECKED);
        if (o.flag != nullptr) SettingsRecord.*o.flag = true;
    }

    if (IsSecondInstance(ProgramPath)) {
        wchar_t caption[128];
        wchar_t text[1024];
        ProductText(caption, 128, L" \u25CF ERROR");
        std::wstring message(L"Error running ");
        message += ProgramPath;
        message += L":\nOne instance is already running!";
        CopyText(text, message.c_str());
        MessageBoxW(nullptr, text, caption, MB_ICONHAND);
        MessageLoopRunning = false;
    }
}

// A registry failure does not hold the check mark and the flag back.
void ToggleOption(const MenuOption& o) {
    UINT state = GetMenuState(MainMenu, o.id, MF_BYCOMMAND);
    if (state != 0 && state != MF_CHECKED) return;
    bool on = state == 0;
    CheckMenuItem(MainMenu, o.id, on ? MF_CHECKED : MF_UNCHECKED);
    if (o.flag == nullptr && !on)
        RegRemoveString(o.key, o.value);
    else
        StoreValue(o.key, o.value, on ? OnText(o) : L"false");
    if (o.flag != nullptr) SettingsRecord.*o.flag = on;
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
    for (const MenuOption& o : kOptions)
        if (o.id == id) return ToggleOption(o);
    switch (id) {
        case IDC_START: Apply(StartCycle(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_STOP: Apply(StopCycle(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_MANUAL: Apply(ManualSync(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_EDIT: SetControls(Controls::Edit); return;
        case IDC_SAVE: SaveSettingsForms(); return;
        case IDC_RELOAD: ReloadSettingsForms(); return;
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
            if (window == MainWindow && wParam == SIZE_RESTORED && IsWindowVisible(window))
                Apply(WindowShown(CycleState, true, MomentNow()));
            return 0;
        case WM_SHOWWINDOW:
            // Hidden in the tray (or behind the About window), the program
            // sleeps until the next attempt; shown, it counts down again.
            if (window == MainWindow) Apply(WindowShown(CycleState, wParam && !IsIconic(window), MomentNow()));
            break;
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
                Apply(TimerFired(CycleState, static_cast<unsigned>(wParam), SettingsRecord, MomentNow()));
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
            Apply(ConnectionNotice(static_cast<int>(lParam), BalloonsOn()));
            return 0;
        case WM_TRAY_CALLBACK:
            if (wParam == TRAY_ICON_UID) TrayCallback(window, lParam);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
