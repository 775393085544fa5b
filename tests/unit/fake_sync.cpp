// Scripted sync engine, worker starter and window dispatch for the cycle
// tests.
#include "fake_sync.h"

#include <cstring>

#include "app/cycle.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "memory_registry.h"
#include "net/notice.h"
#include "recording_window.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "shell_recorder.h"
#include "sync/sync.h"

wchar_t CurrentIP[31] = L"";

namespace {
FakeSyncState state;
std::uintptr_t nextHandle = 0x9000;
}  // namespace

FakeSyncState& FakeSync() {
    return state;
}

WorkerHandle StartWorkerThread(WorkerProcedure procedure) {
    state.started.push_back(procedure);
    if (state.threadsFail) return nullptr;
    return reinterpret_cast<WorkerHandle>(nextHandle += 0x10);
}

void CloseWorkerHandle(WorkerHandle handle) {
    state.closed.push_back(handle);
}

unsigned long CheckIpWorker(void*) {
    return 0;
}

unsigned long UpdateWorker(void*) {
    return 0;
}

void BeginSync() {
    ++state.beginCalls;
    SendWindowText(QueryEdits[2], L"wait sync...");
    if (state.mode == BeginMode::Refuse) {
        SendWindowText(QueryEdits[2], L"STOP SPAM");
        SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
        return;
    }
    WorkerThread = StartWorkerThread(CheckIpWorker);
}

void SaveLastSync() {
    ++state.saveCalls;
    std::wcscpy(SettingsRecord.LASTIP, CurrentIP);
}

void ResetWindowWorld() {
    state = FakeSyncState();
    ResetRecordedMessages();
    ResetShell();
    ResetMemoryRegistry();

    std::uintptr_t n = 0x1000;
    auto next = [&n] { return FakeWindow(n += 0x10); };
    MainWindow = next();
    TabControl = next();
    for (WindowHandle& h : TabPages) h = next();
    for (WindowHandle& h : QueryEdits) h = next();
    for (WindowHandle& h : SettingEdits) h = next();
    for (int i = 0; i < 2; ++i) {
        EditButtons[i] = next();
        SaveButtons[i] = next();
        ReloadButtons[i] = next();
    }
    ManualButton = next();
    StartButton = next();
    StopButton = next();
    MinutesStatic = next();
    SecondsStatic = next();
    StatusBar = next();
    IdleIcon = reinterpret_cast<IconHandle>(0x7100);
    RunningIcon = reinterpret_cast<IconHandle>(0x7200);

    SyncIdle = true;
    CountdownMinutes = 0;
    CountdownSeconds = 0;
    WorkerThread = nullptr;
    std::memset(&TrayRequest, 0, sizeof TrayRequest);
    TrayRequest.Window = MainWindow;
    TrayState = 1;
    std::wcscpy(CurrentIP, L"");

    std::wcscpy(SettingsRecord.CLOOP, L"30");
    std::wcscpy(SettingsRecord.TOUT, L"3000");
    std::wcscpy(SettingsRecord.DEBUG, L"false");
    std::wcscpy(SettingsRecord.LASTIP, L"NULL");
    SettingsRecord.CheckLastIPFlag = false;
    SettingsRecord.UseSSLFlag = false;

    SetMessageHandler([](const RecordedMessage& m) -> std::intptr_t {
        if (m.window != MainWindow) return 0;
        switch (m.message) {
            case WM_CHECKIP_DONE: CheckIpDone(); break;
            case WM_SYNC_DONE: SyncDone(); break;
            case WM_NET_NOTICE: ShowNetNotice(m.window, m.message, m.wParam, m.lParam); break;
            case 0x0111:  // WM_COMMAND
                if (m.wParam == IDC_START) StartCommand();
                if (m.wParam == IDC_STOP) StopCommand();
                if (m.wParam == IDC_MANUAL) ManualCommand();
                break;
        }
        return 0;
    });
}
