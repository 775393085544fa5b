// The main window procedure: creation work, commands, options, the tray
// icon's mouse handling and closing. The cycle itself is in cycle.cpp.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/edge_win.h"
#include "app/forms_win.h"
#include "app/main_window_win.h"
#include "app/options.h"
#include "app/resource_ids.h"
#include "app/service_win.h"
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

namespace {

bool StoredOn(const MenuOption& o) {
    return o.value == nullptr ? QuoteAutostart(ProgramPath) : RegReadString(RegistryKeyPath, o.value) == L"true";
}

void CreationWork(HWND window) {
    // Not argument 0: started from an unquoted command line with a blank in
    // its path, that holds only the path's first part. A longer path is cut.
    GetModuleFileNameW(nullptr, ProgramPath, sizeof ProgramPath / sizeof ProgramPath[0]);

    // With the service starting with Windows, this window is its face: the
    // service's own state decides whether the cycle runs, not -auto.
    ServiceFace = ServiceStartsWithWindows();

    int count = 0;
    wchar_t** args = SplitCommandLine(GetCommandLineW(), &count);

    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(args[i], L"-min") == 0)
            SetTimer(window, IDT_MINIMIZE, 1000, nullptr);
        else if (std::wcscmp(args[i], L"-auto") == 0 && !ServiceFace)
            SetTimer(window, IDT_AUTOSTART, 1000, nullptr);
    }
    if (args != nullptr) FreeArgumentBlock(args);

    for (const MenuOption& o : MenuOptions()) {
        if (!StoredOn(o)) continue;
        CheckMenuItem(MainMenu, o.id, MF_CHECKED);
        if (o.flag != nullptr) SettingsRecord.*o.flag = true;
    }

    if (IsSecondInstance(ProgramPath, ServiceProcessId())) {
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

// The service reads what was stored before its next attempt.
void TellServiceSettings() {
    if (ServiceFace) Apply(FaceCommand(ServiceCommand::Reload, SettingsRecord));
}

// A registry failure does not hold the check mark and the flag back.
void ToggleOption(const MenuOption& o) {
    UINT state = GetMenuState(MainMenu, o.id, MF_BYCOMMAND);
    if (state != 0 && state != MF_CHECKED) return;
    bool on = state == 0;
    CheckMenuItem(MainMenu, o.id, on ? MF_CHECKED : MF_UNCHECKED);
    if (o.value == nullptr) {
        // The mark shows what the registry holds, also when the change was
        // refused.
        CheckMenuItem(MainMenu, o.id, SetAutostart(on, ProgramPath) ? MF_CHECKED : MF_UNCHECKED);
        return;
    }
    StoreValue(RegistryKeyPath, o.value, on ? L"true" : L"false");
    SettingsRecord.*o.flag = on;
    if (o.id == IDM_UPDATE_IPV6) ShowIPv6Line(on);
    TellServiceSettings();
}

// The face's commands go to the service; the rest stay the window's own.
struct FaceRow {
    WPARAM id;
    ServiceCommand command;
};
const FaceRow kFaceCommands[] = {
    {IDC_START, ServiceCommand::Start},
    {IDC_STOP, ServiceCommand::Stop},
    {IDC_MANUAL, ServiceCommand::Manual},
};

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
    for (const MenuOption& o : MenuOptions())
        if (o.id == id) return ToggleOption(o);
    for (const FaceRow& f : kFaceCommands)
        if (ServiceFace && f.id == id) return Apply(FaceCommand(f.command, SettingsRecord));
    switch (id) {
        case IDC_START: Apply(StartCycle(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_STOP: Apply(StopCycle(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_MANUAL: Apply(ManualSync(CycleState, SettingsRecord, MomentNow())); return;
        case IDC_EDIT: SetControls(Controls::Edit); return;
        case IDC_SAVE:
            // The service records the last sync meanwhile: a Save keeps its record.
            if (ServiceFace) LoadSettings(true);
            SaveSettingsForms();
            return TellServiceSettings();
        case IDC_RELOAD:
            ReloadSettingsForms();
            return TellServiceSettings();
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
            // Without an outcome (sent by anyone but the worker) nothing was found.
            CheckIpDone(lParam != 0 ? *reinterpret_cast<const SyncOutcome*>(lParam) : SyncOutcome());
            return 0;
        case WM_SYNC_DONE:
            SyncDone(reinterpret_cast<const SyncOutcome*>(lParam));
            TellStoreFailureOnce();
            return 0;
        case WM_NET_NOTICE:
            Apply(ConnectionNotice(static_cast<int>(lParam), BalloonsOn()));
            return 0;
        case WM_SERVICE_STATE:
            ShowServiceState();
            return 0;
        case WM_TRAY_CALLBACK:
            if (wParam == TRAY_ICON_UID) TrayCallback(window, lParam);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
