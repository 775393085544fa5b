// Carries out the cycle's steps with the calls the main window has always
// been made, and turns the workers' reports into the messages it has
// always been sent: synchronous, so a worker goes on only once the main
// thread has taken its report.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/control_state.h"
#include "app/edge_win.h"
#include "app/service_win.h"
#include "app/ui_state.h"
#include "net/report.h"
#include "net/transport.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/clock.h"
#include "util/product.h"
#include "util/text.h"

namespace {

HWND FieldWindow(int field) {
    switch (static_cast<Field>(field)) {
        case Field::Date: return QueryEdits[0];
        case Field::Address: return QueryEdits[1];
        case Field::Status: return QueryEdits[2];
        case Field::Minutes: return MinutesStatic;
        case Field::Seconds: return SecondsStatic;
        case Field::Address6: return QueryIp6Edit;
    }
    return nullptr;
}

void SetText(HWND window, const wchar_t* text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ShowOnTray(const Step& s) {
    TrayRequest.Icon = s.value ? RunningIcon : IdleIcon;
    TrayRequest.Command = "modify";
    ProductText(TrayRequest.Tip, s.tip);
    TrayRequest.BalloonKind = s.kind;
    if (s.balloon) {
        ProductText(TrayRequest.BalloonTitle, L"");
        CopyText(TrayRequest.BalloonText, s.text.c_str());
    } else {
        TrayRequest.BalloonTitle[0] = L'\0';
        TrayRequest.BalloonText[0] = L'\0';
    }
    TrayNotify();
    // No balloon was sent, so no close report will come.
    if (!s.balloon) TrayState = 1;
}

void StartJob(const Step& s) {
    if (!StartSyncJob(s)) Apply(JobNotStarted(CycleState, static_cast<Job>(s.value), SettingsRecord, MomentNow()));
}

// A service that is not running takes no code; the user is told how it
// comes back rather than left pressing a button that does nothing.
void SendControl(unsigned code) {
    if (SendServiceControl(code)) return;
    std::wstring text = std::wstring(L"The service ") + ServiceName +
                        L" is not running, so it did not take this command; saved settings are read when it "
                        L"starts. An administrator can start it under Services, or with: sc start " + ServiceName;
    MessageBoxW(MainWindow, text.c_str(), ProductName, MB_OK | MB_ICONWARNING);
}

void Apply(const Step& s) {
    switch (s.act) {
        case Step::Text: SetText(FieldWindow(s.value), s.text.c_str()); return;
        case Step::SetControls:
            for (const ControlRow& row : kControlRows) EnableWindow(*row.control, row.on[s.value]);
            // Check IPv6 is edited like the other hosts, but only while its option is on.
            EnableWindow(CheckIp6Edit, s.value == static_cast<int>(Controls::Edit) && SettingsRecord.UseIPv6Flag);
            return;
        case Step::EnableStop: EnableWindow(StopButton, s.value != 0); return;
        case Step::ArmTimer: SetTimer(MainWindow, s.value, s.ms, nullptr); return;
        case Step::DisarmTimer: KillTimer(MainWindow, s.value); return;
        case Step::Tray: ShowOnTray(s); return;
        case Step::Beep: PlayBeep(s.value); return;
        case Step::StatusBar: SendMessageW(StatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(s.text.c_str())); return;
        case Step::WindowIcon:
            SendMessageW(MainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(s.value ? RunningIcon : IdleIcon));
            return;
        case Step::StartJob: StartJob(s); return;
        case Step::EndReport: SendMessageW(MainWindow, WM_SYNC_DONE, 0, 0); return;
        case Step::Press: SendMessageW(MainWindow, WM_COMMAND, s.value, 0); return;
        case Step::CloseConnection:
            if (ActiveSocket != INVALID_SOCKET) CloseConnection(ActiveSocket);
            StopWinsock();
            return;
        case Step::SaveLastSync: SaveLastSync(s.text.c_str(), s.text6.c_str()); return;
        case Step::Control: SendControl(static_cast<unsigned>(s.value)); return;
    }
}

}  // namespace

// The job is copied here, on the main thread; the worker owns the copy.
bool StartSyncJob(const Step& s) {
    Job job = static_cast<Job>(s.value);
    SyncJob* snapshot = new SyncJob(job == Job::CheckIp ? CheckIpJob(SettingsRecord)
                                                        : UpdateJob(SettingsRecord, s.text, s.text6));
    WorkerThread = StartWorkerThread(job == Job::CheckIp ? CheckIpWorker : UpdateWorker, snapshot);
    if (WorkerThread != nullptr) return true;
    delete snapshot;
    return false;
}

void CloseWorkerThread() {
    if (WorkerThread == nullptr) return;
    CloseWorkerHandle(WorkerThread);
    WorkerThread = nullptr;
}

Moment MomentNow() {
    return Moment{SteadyMilliseconds(), UnixSecondsFromTicks(SystemTimeTicks()), LocalTimeText()};
}

void Apply(const Steps& steps) {
    for (const Step& s : steps) Apply(s);
}

void SetControls(Controls set) {
    Apply(Step{Step::SetControls, static_cast<int>(set)});
}

void CheckIpDone(const SyncOutcome& found) {
    CloseWorkerThread();
    Apply(CheckIpEnded(CycleState, found, SettingsRecord, MomentNow()));
}

void SyncDone(const SyncOutcome* outcome) {
    CloseWorkerThread();
    Apply(UpdateEnded(CycleState, outcome, SettingsRecord, MomentNow()));
}

void FillSettingsForms(bool readStore) {
    LoadSettings(readStore);
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) SetText(SettingEdits[i], FormFieldText(i));
    SetText(CheckIp6Edit, SettingsRecord.DomainCheckIP6);
}

void ShowIPv6Line(bool on) {
    // Off, the line is empty and inactive, as before the option existed.
    if (!on) SetText(QueryIp6Edit, L"");
    EnableWindow(QueryIp6Label, on);
    EnableWindow(QueryIp6Edit, on);
}

void ReportConnectionFailure(int notice) {
    SendMessageW(MainWindow, WM_NET_NOTICE, 0, notice);
}

// The outcome travels by address: SendMessageW returns only once the main
// thread has handled the report, so it is read while the worker waits.
void ReportCheckIpEnd(const SyncOutcome& outcome) {
    SendMessageW(MainWindow, WM_CHECKIP_DONE, 0, reinterpret_cast<LPARAM>(&outcome));
}

void ReportUpdateEnd(const SyncOutcome& outcome) {
    SendMessageW(MainWindow, WM_SYNC_DONE, 0, reinterpret_cast<LPARAM>(&outcome));
}
