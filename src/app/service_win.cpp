// The second edge of the cycle: the program as a Windows service. It has
// no desktop, so it carries out the cycle's steps on a message-only window
// (timers and the workers' reports), publishes what the Sync page would
// show under a key of its own, takes the window's commands as control
// codes and puts what changed on record in the event log. Also the few
// calls by which the tray program becomes the service's face.
#include "app/service_win.h"

#include <cwchar>
#include <string>
#include <vector>

#include "app/edge_win.h"
#include "app/options.h"
#include "app/resource_ids.h"
#include "app/ui_state.h"
#include "messages.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/status.h"
#include "sync/sync.h"
#include "util/cmdline.h"
#include "util/product.h"

static_assert(MSG_ADDRESS_SENT == EVENT_ADDRESS_SENT && MSG_SYNC_FAILED == EVENT_SYNC_FAILED &&
                  MSG_CERT_REFUSED == EVENT_CERT_REFUSED && MSG_SETTING_REFUSED == EVENT_SETTING_REFUSED,
              "the event numbers are the message table's");

bool ServiceFace = false;

namespace {

const UINT WM_SERVICE_COMMAND = WM_APP + 2;  // wParam: the control code

SERVICE_STATUS_HANDLE StatusHandle = nullptr;
SERVICE_STATUS ServiceStatus = {SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};

ServiceState Published;    // what the service shows, kept as it is written
ServiceState Written;      // what is under the key now
bool AttemptOut = false;   // an attempt was under way after the last steps
std::wstring LastOutcome;  // the last attempt's outcome, across restarts

void SetState(DWORD state) {
    ServiceStatus.dwCurrentState = state;
    ServiceStatus.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    SetServiceStatus(StatusHandle, &ServiceStatus);
}

WORD EventType(EventKind kind) {
    switch (kind) {
        case EventKind::Information: return EVENTLOG_INFORMATION_TYPE;
        case EventKind::Warning: return EVENTLOG_WARNING_TYPE;
        case EventKind::Error: return EVENTLOG_ERROR_TYPE;
    }
    return EVENTLOG_ERROR_TYPE;
}

void Record(const std::vector<Event>& events) {
    if (events.empty()) return;
    HANDLE log = RegisterEventSourceW(nullptr, ProductName);
    if (log == nullptr) return;
    for (const Event& e : events) {
        std::vector<LPCWSTR> strings;
        for (const std::wstring& s : e.strings) strings.push_back(s.c_str());
        ReportEventW(log, EventType(e.kind), 0, e.message, nullptr, static_cast<WORD>(strings.size()), 0,
                     strings.data(), nullptr);
    }
    DeregisterEventSource(log);
}

// The settings through the same checks as the window's, with each stored
// text the checks replaced put on record.
void LoadServiceSettings() {
    std::vector<std::wstring> stored;
    for (int i = 0; i < SETTINGS_COUNT; ++i) stored.push_back(RegReadString(RegistryKeyPath, SettingName(i)));
    LoadSettings(true);
    ReadStoredOptions(SettingsRecord);
    Record(RefusedSettingEvents(stored, SettingsRecord));
}

// The IP field, or the STATUS field once the update has answered.
std::wstring Outcome() {
    std::wstring status = Published.texts[Field::Status];
    return status != StatusWord(Status::Waiting) ? status : Published.texts[Field::Address];
}

void Publish() {
    const Cycle& c = CycleState;
    Published.running = c.running;
    Published.idle = c.idle;
    Published.nextSync = 0;
    if (c.running && c.idle) {
        Moment now = MomentNow();
        std::uint64_t left = c.deadline > now.steadyMs ? c.deadline - now.steadyMs : 0;
        Published.nextSync = now.unixSeconds + static_cast<long long>((left + 500) / 1000);
    }
    if (AttemptOut && c.idle) {
        std::wstring outcome = Outcome();
        Record(AttemptEvents(LastOutcome, outcome, SettingsRecord));
        LastOutcome = outcome;
    }
    AttemptOut = !c.idle;
    PublishServiceState(Published, &Written);
    Written = Published;
}

void Act(const Steps& steps);

void Command(ServiceCommand command) {
    Moment now = MomentNow();
    switch (command) {
        case ServiceCommand::Start:
            RegWriteString(ServiceStateKeyPath, ServiceStoppedValue, L"false");
            if (!CycleState.running) Act(StartCycle(CycleState, SettingsRecord, now));
            return;
        case ServiceCommand::Stop:
            // Kept for the next boot, until Start.
            RegWriteString(ServiceStateKeyPath, ServiceStoppedValue, L"true");
            if (CycleState.running) Act(StopCycle(CycleState, SettingsRecord, now));
            return;
        case ServiceCommand::Manual: Act(ManualSync(CycleState, SettingsRecord, now)); return;
        case ServiceCommand::Reload:
            LoadServiceSettings();
            Act(RestartCountdown(CycleState, SettingsRecord, now));
            return;
        case ServiceCommand::None: return;
    }
}

// Only what a service has: its timer, the workers, the record and the
// connection. Controls, tray, beeps and icons belong to a desktop.
void Act(const Step& s) {
    switch (s.act) {
        case Step::Text:
            for (const PublishedField& f : PublishedFields())
                if (static_cast<int>(f.field) == s.value) Published.texts[f.field] = s.text;
            return;
        case Step::ArmTimer:
            if (s.value == IDT_COUNTDOWN) SetTimer(MainWindow, s.value, s.ms, nullptr);
            return;
        case Step::DisarmTimer: KillTimer(MainWindow, s.value); return;
        case Step::StartJob:
            if (!StartSyncJob(s)) Act(JobNotStarted(CycleState, static_cast<Job>(s.value), SettingsRecord, MomentNow()));
            return;
        case Step::EndReport: SendMessageW(MainWindow, WM_SYNC_DONE, 0, 0); return;
        case Step::Press:
            if (s.value == IDC_STOP) Command(ServiceCommand::Stop);
            return;
        case Step::CloseConnection:
            if (ActiveSocket != INVALID_SOCKET) CloseConnection(ActiveSocket);
            StopWinsock();
            return;
        case Step::SaveLastSync: SaveLastSync(s.text.c_str(), s.text6.c_str()); return;
        case Step::SetControls:
        case Step::EnableStop:
        case Step::Tray:
        case Step::Beep:
        case Step::StatusBar:
        case Step::WindowIcon:
        case Step::Control: return;
    }
}

void Act(const Steps& steps) {
    for (const Step& s : steps) Act(s);
    Publish();
}

LRESULT CALLBACK ServiceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            Act(TimerFired(CycleState, static_cast<unsigned>(wParam), SettingsRecord, MomentNow()));
            return 0;
        // The outcome is read while its worker waits for this handler.
        case WM_CHECKIP_DONE:
            CloseWorkerThread();
            Act(CheckIpEnded(CycleState, lParam != 0 ? *reinterpret_cast<const SyncOutcome*>(lParam) : SyncOutcome(),
                             SettingsRecord, MomentNow()));
            return 0;
        case WM_SYNC_DONE:
            CloseWorkerThread();
            Act(UpdateEnded(CycleState, reinterpret_cast<const SyncOutcome*>(lParam), SettingsRecord, MomentNow()));
            return 0;
        case WM_NET_NOTICE:
            Published.notice = static_cast<int>(lParam);
            ++Published.notices;
            Act(ConnectionNotice(Published.notice, false));
            return 0;
        case WM_SERVICE_COMMAND: Command(CommandOfCode(static_cast<unsigned>(wParam))); return 0;
        case WM_CLOSE:
            // A worker still out is not waited for; its socket is closed.
            if (ActiveSocket != INVALID_SOCKET) CloseConnection(ActiveSocket);
            StopWinsock();
            DestroyWindow(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, LPVOID, LPVOID) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            SetState(SERVICE_STOP_PENDING);
            PostMessageW(MainWindow, WM_CLOSE, 0, 0);
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    }
    // A code carries no data: it only names a command.
    if (CommandOfCode(control) == ServiceCommand::None) return ERROR_CALL_NOT_IMPLEMENTED;
    PostMessageW(MainWindow, WM_SERVICE_COMMAND, control, 0);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    StatusHandle = RegisterServiceCtrlHandlerExW(ServiceName, ControlHandler, nullptr);
    if (StatusHandle == nullptr) return;
    SetState(SERVICE_START_PENDING);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ServiceWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = ServiceName;
    RegisterClassExW(&wc);
    MainWindow = CreateWindowExW(0, ServiceName, ServiceName, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (MainWindow == nullptr) {
        ServiceStatus.dwWin32ExitCode = GetLastError();
        SetState(SERVICE_STOPPED);
        return;
    }
    LoadServiceSettings();
    // The last state shown goes on until this run has something to show.
    Published = Written = ReadServiceState();
    LastOutcome = Outcome();
    CycleState.shown = false;
    SetState(SERVICE_RUNNING);
    // From boot as if Start had been pressed, unless Stop was sent.
    if (RegReadString(ServiceStateKeyPath, ServiceStoppedValue) != L"true")
        Command(ServiceCommand::Start);
    else
        Act(Steps());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    SetState(SERVICE_STOPPED);
}

SC_HANDLE OpenOurService(DWORD access) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return nullptr;
    SC_HANDLE service = OpenServiceW(manager, ServiceName, access);
    CloseServiceHandle(manager);
    return service;
}

DWORD WINAPI WatchThread(LPVOID window) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ServiceStateKeyPath, 0, nullptr, 0, KEY_NOTIFY | KEY_READ, nullptr, &key,
                        nullptr) != ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, ServiceStateKeyPath, 0, KEY_NOTIFY, &key) != ERROR_SUCCESS)
        return 1;
    HANDLE changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (;;) {
        if (RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE) != ERROR_SUCCESS) break;
        PostMessageW(static_cast<HWND>(window), WM_SERVICE_STATE, 0, 0);
        WaitForSingleObject(changed, INFINITE);
    }
    CloseHandle(changed);
    RegCloseKey(key);
    return 0;
}

}  // namespace

bool ServiceSwitchGiven() {
    int count = 0;
    wchar_t** args = SplitCommandLine(GetCommandLineW(), &count);
    bool given = false;
    for (int i = 1; i < count; ++i) given = given || std::wcscmp(args[i], L"-service") == 0;
    if (args != nullptr) FreeArgumentBlock(args);
    return given;
}

int RunService() {
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(ServiceName), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

bool ServiceStartsWithWindows() {
    SC_HANDLE service = OpenOurService(SERVICE_QUERY_CONFIG);
    if (service == nullptr) return false;
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed > 0 ? needed : 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    bool automatic = needed > 0 && QueryServiceConfigW(service, config, needed, &needed) &&
                     config->dwStartType == SERVICE_AUTO_START;
    CloseServiceHandle(service);
    return automatic;
}

unsigned long ServiceProcessId() {
    SC_HANDLE service = OpenOurService(SERVICE_QUERY_STATUS);
    if (service == nullptr) return 0;
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    bool known = QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                      sizeof status, &needed);
    CloseServiceHandle(service);
    return known && status.dwCurrentState != SERVICE_STOPPED ? status.dwProcessId : 0;
}

bool SendServiceControl(unsigned code) {
    SC_HANDLE service = OpenOurService(SERVICE_USER_DEFINED_CONTROL);
    if (service == nullptr) return false;
    SERVICE_STATUS status;
    bool sent = ControlService(service, code, &status);
    CloseServiceHandle(service);
    return sent;
}

void ShowServiceState() {
    static ServiceState seen;
    static bool first = true;
    ServiceState now = ReadServiceState();
    Apply(FollowService(CycleState, now, first ? nullptr : &seen, SettingsRecord, MomentNow()));
    seen = now;
    first = false;
}

void WatchServiceState(HWND window) {
    HANDLE thread = CreateThread(nullptr, 0, WatchThread, window, 0, nullptr);
    if (thread != nullptr) CloseHandle(thread);
}
