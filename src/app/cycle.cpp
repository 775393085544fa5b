// The sync cycle over the window seams, so it runs unchanged in tests.
#include "app/cycle.h"

#include <cwchar>

#include "app/control_state.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "net/transport.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "sync/sync.h"
#include "util/text.h"

namespace {

void SetStatusText(const wchar_t* text) {
    SendWindowMessage(StatusBar, STATUS_SETTEXT, 0, reinterpret_cast<std::intptr_t>(text));
}

// The tray side of Start and Stop: icon, tip, and a balloon with a beep
// only when balloons are on.
void AnnounceState(IconHandle icon, const wchar_t* tipSuffix, const wchar_t* balloon) {
    TrayRequest.Icon = icon;
    TrayRequest.Command = "modify";
    ProductText(TrayRequest.Tip, tipSuffix);
    TrayRequest.BalloonKind = "custom";
    if (BalloonsOn()) {
        ProductText(TrayRequest.BalloonTitle, L"");
        CopyText(TrayRequest.BalloonText, balloon);
        TrayNotify();
        PlayBeep(0);
    } else {
        TrayRequest.BalloonTitle[0] = L'\0';
        TrayRequest.BalloonText[0] = L'\0';
        TrayNotify();
        // No balloon was sent, so no close report will come.
        TrayState = 1;
    }
}

// Begins an attempt unless one is still out. WorkerThread and ActiveSocket
// hold one worker each, so a Start or Manual that comes while an earlier
// attempt's worker is out is refused: that attempt's end report re-arms
// the countdown as usual.
void BeginAttempt() {
    if (WorkerThread != nullptr) return;
    SyncIdle = false;
    BeginSync();
    // Neither a worker nor an end report: the thread could not be started.
    // End the attempt as a failed check so the countdown does not freeze.
    if (!SyncIdle && WorkerThread == nullptr) {
        SendWindowText(QueryEdits[1], L"CHECK ERROR");
        SyncIdle = true;
        ResetCountdown();
    }
}

}  // namespace

void StartCommand() {
    SetControlState(L"start");
    StartTimer(MainWindow, IDT_COUNTDOWN, 1000);
    ResetCountdown();
    AnnounceState(RunningIcon, L" \u25CF RUNNING", L"Client is running.");
    SetStatusText(L"Client running!");
    SendWindowMessage(MainWindow, MESSAGE_SETICON, ICON_LARGE, reinterpret_cast<std::intptr_t>(RunningIcon));
    BeginAttempt();
}

void StopCommand() {
    StopTimer(MainWindow, IDT_COUNTDOWN);
    SetControlState(L"alloff");
    StartTimer(MainWindow, IDT_GUARD, static_cast<unsigned>(DecimalValue(SettingsRecord.TOUT)));
    ResetCountdown();
    AnnounceState(IdleIcon, L" \u25CF IDLE", L"Client is stopped.");
    SetStatusText(L"Client ready!");
    SendWindowMessage(MainWindow, MESSAGE_SETICON, ICON_LARGE, reinterpret_cast<std::intptr_t>(IdleIcon));
    // The attempt under way loses its connection and still reports its end.
    if (ActiveSocket != INVALID_SOCKET) CloseConnection(ActiveSocket);
    StopWinsock();
}

void ManualCommand() {
    SetControlState(L"alloff");
    StartTimer(MainWindow, IDT_GUARD, static_cast<unsigned>(DecimalValue(SettingsRecord.TOUT)));
    BeginAttempt();
}

void CycleTimer(unsigned id) {
    switch (id) {
        case IDT_COUNTDOWN:
            // The countdown stands still while an attempt is out.
            if (!SyncIdle) {
                EnableControl(StopButton, false);
                return;
            }
            EnableControl(StopButton, true);
            --CountdownSeconds;
            SendWindowText(SecondsStatic, DecimalText(CountdownSeconds).c_str());
            if (CountdownSeconds > 0) return;
            CountdownSeconds = 60;
            --CountdownMinutes;
            SendWindowText(MinutesStatic, DecimalText(CountdownMinutes).c_str());
            if (CountdownMinutes > 0) return;
            BeginAttempt();
            return;
        case IDT_AUTOSTART:
            StopTimer(MainWindow, IDT_AUTOSTART);
            SendWindowMessage(MainWindow, MESSAGE_COMMAND, IDC_START, 0);
            return;
        case IDT_GUARD:
            StopTimer(MainWindow, IDT_GUARD);
            SetControlState(L"default");
            return;
        default:
            return;
    }
}

void CheckIpDone() {
    if (WorkerThread != nullptr) {
        CloseWorkerHandle(WorkerThread);
        WorkerThread = nullptr;
    }
    if (std::wcscmp(CurrentIP, L"CHECK ERROR") == 0) {
        SyncIdle = true;
        ResetCountdown();
        return;
    }
    if (SettingsRecord.CheckLastIPFlag && std::wcscmp(SettingsRecord.LASTIP, CurrentIP) == 0) {
        SaveLastSync();
        SendWindowText(QueryEdits[2], L"ALREADY SYNCED");
        SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
        return;
    }
    WorkerThread = StartWorkerThread(UpdateWorker);
    // No update worker means no reply and no end report: end it here.
    if (WorkerThread == nullptr) {
        SendWindowText(QueryEdits[2], L"SYNC ERROR");
        SyncDone();
    }
}

void SyncDone() {
    if (WorkerThread != nullptr) {
        CloseWorkerHandle(WorkerThread);
        WorkerThread = nullptr;
    }
    SyncIdle = true;
    ResetCountdown();
}
