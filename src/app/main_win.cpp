// Program entry: settings, the main window with its pages and controls,
// the tray icon and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/edge_win.h"
#include "app/forms_win.h"
#include "app/main_window_win.h"
#include "app/resource_ids.h"
#include "app/service_win.h"
#include "app/ui_state.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "sync/protocol.h"
#include "sync/status.h"
#include "util/product.h"
#include "util/window_win.h"

HINSTANCE ProgramInstance = nullptr;
HMENU MainMenu = nullptr;

namespace {

HFONT LabelFont = nullptr;
HFONT GroupFont = nullptr;
HFONT CountdownFont = nullptr;

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD GROUP_STYLE = CHILD | BS_GROUPBOX;
const DWORD BUTTON_STYLE = CHILD | BS_ICON;
const DWORD LABEL_STYLE = CHILD;
const DWORD CENTER_STYLE = CHILD | SS_CENTER;
const DWORD EDIT_STYLE = CHILD | WS_TABSTOP | ES_WANTRETURN | ES_AUTOHSCROLL;
const DWORD DOMAIN_STYLE = CHILD | WS_TABSTOP | ES_WANTRETURN | WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;
const DWORD TAB_STYLE = CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP;
const DWORD STATUS_STYLE = CHILD | SBARS_SIZEGRIP | SBARS_TOOLTIPS;
const DWORD GROUP_EX = WS_EX_TRANSPARENT;
const DWORD EDIT_EX = WS_EX_CLIENTEDGE;
const DWORD DOMAIN_EX = WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY;

struct ControlLayout {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    int id;
    HFONT* font;          // null: the stock system font
    WindowHandle* handle;  // null: not kept
};

HWND CreateControl(HWND parent, const ControlLayout& c) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND control = CreateWindowExW(c.exStyle, c.className, c.text, c.style, c.x, c.y, c.width, c.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    HGDIOBJ font = c.font != nullptr ? static_cast<HGDIOBJ>(*c.font) : GetStockObject(SYSTEM_FONT);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (c.handle != nullptr) *c.handle = control;
    return control;
}

template <std::size_t N>
void CreateControls(HWND parent, const ControlLayout (&layouts)[N]) {
    for (const ControlLayout& c : layouts) CreateControl(parent, c);
}

HFONT MakeFont(int height, int width, int weight, const wchar_t* face) {
    return CreateFontW(height, width, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

void CreateMainControls() {
    const ControlLayout top[] = {
        {L"Button", L"Control", GROUP_STYLE, GROUP_EX, 235, 2, 83, 198, 0, &GroupFont, nullptr},
        {L"Button", L"Manual", BUTTON_STYLE, 0, 242, 23, 70, 20, IDC_MANUAL, &LabelFont, &ManualButton},
        {L"Button", L"Start", BUTTON_STYLE, 0, 242, 48, 70, 20, IDC_START, &LabelFont, &StartButton},
        {L"Button", L"Stop", BUTTON_STYLE, 0, 242, 73, 70, 20, IDC_STOP, &LabelFont, &StopButton},
        {L"Static", SettingsRecord.CLOOP, CENTER_STYLE, 0, 242, 135, 70, 40, 0, &CountdownFont, &MinutesStatic},
        {L"Static", L"0", CENTER_STYLE, 0, 242, 175, 70, 20, 0, nullptr, &SecondsStatic},
        {WC_TABCONTROLW, L"", TAB_STYLE, 0, 5, 2, 228, 200, 0, &LabelFont, &TabControl},
    };
    CreateControls(MainWindow, top);

    const wchar_t* const pageNames[3] = {L"Sync", L"Config", L"Account"};
    for (int i = 0; i < 3; ++i) TabPages[i] = AddTabPage(MainWindow, TabControl, pageNames[i]);

    const ControlLayout sync[] = {
        {L"Button", L"Last query", GROUP_STYLE, GROUP_EX, 5, 5, 208, 140, 0, &GroupFont, nullptr},
        {L"Static", L"Date:", LABEL_STYLE, 0, 10, 20, 65, 20, 0, &LabelFont, nullptr},
        {L"Static", L"IP:", LABEL_STYLE, 0, 10, 45, 65, 20, 0, &LabelFont, nullptr},
        {L"Static", L"IPv6:", LABEL_STYLE, 0, 10, 70, 65, 20, 0, &LabelFont, &QueryIp6Label},
        {L"Static", L"STATUS:", LABEL_STYLE, 0, 10, 95, 65, 20, 0, &LabelFont, nullptr},
        {L"Edit", L"wait query...", EDIT_STYLE, EDIT_EX, 70, 18, 138, 20, IDC_QUERY_DATE, &LabelFont, &QueryEdits[0]},
        {L"Edit", StatusWord(Status::Waiting), EDIT_STYLE, EDIT_EX, 70, 43, 138, 20, IDC_QUERY_IP, &LabelFont, &QueryEdits[1]},
        {L"Edit", L"", EDIT_STYLE, EDIT_EX, 70, 68, 138, 20, IDC_QUERY_IP6, &LabelFont, &QueryIp6Edit},
        {L"Edit", StatusWord(Status::Waiting), EDIT_STYLE, EDIT_EX, 70, 93, 138, 20, IDC_QUERY_STATUS, &LabelFont, &QueryEdits[2]},
    };
    CreateControls(TabPages[0], sync);
    for (WindowHandle edit : QueryEdits) SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    SendMessageW(QueryIp6Edit, EM_SETREADONLY, TRUE, 0);
    // The longest IPv6 text; the IPv4 field keeps its 30 characters.
    SendMessageW(QueryIp6Edit, EM_SETLIMITTEXT, CURRENT_IP6_CAPACITY - 1, 0);
    ShowIPv6Line(SettingsRecord.UseIPv6Flag);

    const ControlLayout config[] = {
        {L"Button", L"Settings", GROUP_STYLE, GROUP_EX, 5, 5, 208, 140, 0, &GroupFont, nullptr},
        {L"Static", L"Check IP:", LABEL_STYLE, 0, 10, 20, 92, 20, 0, &LabelFont, nullptr},
        {L"Static", L"Check IPv6:", LABEL_STYLE, 0, 10, 41, 92, 20, 0, &LabelFont, nullptr},
        {L"Static", L"DynDNS:", LABEL_STYLE, 0, 10, 62, 92, 20, 0, &LabelFont, nullptr},
        {L"Static", L"Pause (min):", LABEL_STYLE, 0, 10, 83, 92, 20, 0, &LabelFont, nullptr},
        {L"Static", L"TimeOut (msec):", LABEL_STYLE, 0, 10, 104, 92, 20, 0, &LabelFont, nullptr},
        {L"Static", L"Show balloon:", LABEL_STYLE, 0, 10, 125, 92, 20, 0, &LabelFont, nullptr},
        {L"Edit", SettingsRecord.DomainCheckIP, EDIT_STYLE, EDIT_EX, 108, 18, 100, 20, IDC_CHECKIP, &LabelFont, &SettingEdits[0]},
        {L"Edit", SettingsRecord.DomainCheckIP6, EDIT_STYLE, EDIT_EX, 108, 39, 100, 20, IDC_CHECKIP6, &LabelFont, &CheckIp6Edit},
        {L"Edit", SettingsRecord.DomainDynDNS, EDIT_STYLE, EDIT_EX, 108, 60, 100, 20, IDC_DYNDNS, &LabelFont, &SettingEdits[1]},
        {L"Edit", SettingsRecord.CLOOP, EDIT_STYLE, EDIT_EX, 108, 81, 100, 20, IDC_CLOOP, &LabelFont, &SettingEdits[2]},
        {L"Edit", SettingsRecord.TOUT, EDIT_STYLE, EDIT_EX, 108, 102, 100, 20, IDC_TOUT, &LabelFont, &SettingEdits[3]},
        {L"Edit", SettingsRecord.DEBUG, EDIT_STYLE, EDIT_EX, 108, 123, 100, 20, IDC_DEBUG, &LabelFont, &SettingEdits[4]},
        {L"Button", L"Edit", BUTTON_STYLE, 0, 5, 150, 70, 20, IDC_EDIT, &LabelFont, &EditButtons[0]},
        {L"Button", L"Save", BUTTON_STYLE, 0, 75, 150, 70, 20, IDC_SAVE, &LabelFont, &SaveButtons[0]},
        {L"Button", L"Reload", BUTTON_STYLE, 0, 145, 150, 70, 20, IDC_RELOAD, &LabelFont, &ReloadButtons[0]},
    };
    CreateControls(TabPages[1], config);

    const ControlLayout account[] = {
        {L"Button", L"Account", GROUP_STYLE, GROUP_EX, 5, 5, 208, 140, 0, &GroupFont, nullptr},
        {L"Static", L"Name:", LABEL_STYLE, 0, 10, 20, 55, 20, 0, &LabelFont, nullptr},
        {L"Static", L"Pass:", LABEL_STYLE, 0, 10, 45, 55, 20, 0, &LabelFont, nullptr},
        {L"Static", L"Domain:", LABEL_STYLE, 0, 10, 70, 55, 20, 0, &LabelFont, nullptr},
        {L"Edit", L"********", EDIT_STYLE, EDIT_EX, 60, 18, 148, 20, IDC_NAME, &LabelFont, &SettingEdits[5]},
        {L"Edit", L"********", EDIT_STYLE, EDIT_EX, 60, 43, 148, 20, IDC_PASS, &LabelFont, &SettingEdits[6]},
        {L"Edit", SettingsRecord.DOMAIN, DOMAIN_STYLE, DOMAIN_EX, 60, 68, 148, 70, IDC_DOMAIN, &LabelFont, &SettingEdits[7]},
        {L"Button", L"Edit", BUTTON_STYLE, 0, 5, 150, 70, 20, IDC_EDIT, &LabelFont, &EditButtons[1]},
        {L"Button", L"Save", BUTTON_STYLE, 0, 75, 150, 70, 20, IDC_SAVE, &LabelFont, &SaveButtons[1]},
        {L"Button", L"Reload", BUTTON_STYLE, 0, 145, 150, 70, 20, IDC_RELOAD, &LabelFont, &ReloadButtons[1]},
    };
    CreateControls(TabPages[2], account);
}

void CreateStatusBar() {
    const ControlLayout bar = {STATUSCLASSNAMEW, L"", STATUS_STYLE, 0, 0, 0, 0, 0, IDC_STATUSBAR, &LabelFont, &StatusBar};
    CreateControl(MainWindow, bar);
    SendMessageW(StatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Client ready!"));
    int edges[2] = {294, -1};
    SendMessageW(StatusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

}  // namespace

HWND AddTabPage(HWND parent, HWND tab, const wchar_t* text) {
    int n = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = -1;
    item.lParam = 0;
    SendMessageW(tab, TCM_INSERTITEMW, n, reinterpret_cast<LPARAM>(&item));

    // A page of the parent's own class is served by the same procedure.
    wchar_t className[256];
    GetClassNameW(parent, className, 256);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, className, L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, instance,
                                nullptr);
    RECT area;
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, HWND_TOP, area.left + 4, area.top + 3, area.right - area.left, area.bottom - area.top - 2,
                 SWP_HIDEWINDOW);
    BringWindowToTop(page);
    if (n == 0) ShowWindow(page, SW_SHOW);
    return page;
}

void ShowSelectedTabPage(HWND tab, HWND* pages) {
    int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    int selected = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) ShowWindow(pages[i], i == selected ? SW_SHOW : SW_HIDE);
}

void RunMessageLoop() {
    MSG msg;
    while (MessageLoopRunning) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (ServiceSwitchGiven()) return RunService();
    LoadSettings(true);
    ProgramInstance = instance;

    IdleIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_IDLE));
    RunningIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_RUNNING));
    MainMenu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));

    LabelFont = MakeFont(12, 6, 400, L"Verdana");
    GroupFont = MakeFont(12, 5, 400, L"Tahoma");
    CountdownFont = MakeFont(36, 12, 700, L"Tahoma");

    // The tab and status bar classes live in the common controls.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);

    MainWindow = CreateTopWindow(instance, MainWindowProc, IdleIcon, ProductName, -1, -1, 329, 280);
    if (MainWindow == nullptr) return 0;

    CreateMainControls();
    SetMenu(MainWindow, MainMenu);
    CreateStatusBar();

    TrayRequest.Window = MainWindow;
    TrayRequest.Icon = IdleIcon;
    ProductText(TrayRequest.Tip, L" \u25CF IDLE");
    TrayRequest.BalloonTitle[0] = L'\0';
    TrayRequest.BalloonText[0] = L'\0';
    TrayRequest.Command = "init";
    TrayNotify();

    SetControls(Controls::Default);
    if (ServiceFace) WatchServiceState(MainWindow);
    ShowWindow(MainWindow, SW_SHOW);
    UpdateWindow(MainWindow);
    TellStoreFailureOnce();

    RunMessageLoop();

    TrayRequest.Command = "remove";
    TrayNotify();
    return 0;
}
