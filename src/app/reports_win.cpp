// The workers' reports and net's failure notices, as the messages the main
// window has always been sent: synchronous, so a worker goes on only once
// the main thread has taken its report.
#include <windows.h>

#include "app/ui_state.h"
#include "net/report.h"
#include "sync/report.h"

void ReportConnectionFailure(int notice) {
    SendMessageW(MainWindow, WM_NET_NOTICE, 0, notice);
}

void ReportAddress(const wchar_t* text) {
    SendMessageW(QueryEdits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ReportStatus(const wchar_t* word) {
    SendMessageW(QueryEdits[2], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
}

void ReportCheckIpEnd() {
    SendMessageW(MainWindow, WM_CHECKIP_DONE, 0, 0);
}

void ReportUpdateEnd() {
    SendMessageW(MainWindow, WM_SYNC_DONE, 0, 0);
}
