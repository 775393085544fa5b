// Recording implementations of the window seam and of the workers'
// reports: each goes into an ordered log, safe to fill from any thread.
#include <mutex>

#include "net/report.h"
#include "support/fakes.h"
#include "sync/report.h"

WindowHandle MainWindow = nullptr;

namespace {
std::mutex guard;
std::vector<RecordedMessage> recorded;
std::vector<std::wstring> reports;
std::function<std::intptr_t(const RecordedMessage&)> handler;

std::intptr_t Record(const RecordedMessage& m) {
    std::function<std::intptr_t(const RecordedMessage&)> h;
    {
        std::lock_guard<std::mutex> lock(guard);
        recorded.push_back(m);
        h = handler;
    }
    return h ? h(m) : 0;
}

void Report(const std::wstring& what) {
    std::lock_guard<std::mutex> lock(guard);
    reports.push_back(what);
}
}  // namespace

void ReportConnectionFailure(int notice) { Report(L"failure " + std::to_wstring(notice)); }
void ReportAddress(const wchar_t* text) { Report(std::wstring(L"address ") + text); }
void ReportStatus(const wchar_t* word) { Report(std::wstring(L"status ") + word); }
void ReportCheckIpEnd() { Report(L"check-IP end"); }
void ReportUpdateEnd() { Report(L"update end"); }

std::vector<std::wstring> WorkerReports() {
    std::lock_guard<std::mutex> lock(guard);
    return reports;
}

void ClearWorkerReports() {
    std::lock_guard<std::mutex> lock(guard);
    reports.clear();
}

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return Record({window, message, wParam, lParam, std::wstring()});
}

void SendWindowText(WindowHandle control, const wchar_t* text) {
    Record({control, RECORDED_SETTEXT, 0, 0, text});
}

void EnableControl(WindowHandle control, bool on) {
    Record({control, RECORDED_ENABLE, on ? 1u : 0u, 0, std::wstring()});
}

void StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
    Record({window, RECORDED_SETTIMER, id, static_cast<std::intptr_t>(milliseconds), std::wstring()});
}

void StopTimer(WindowHandle window, unsigned id) {
    Record({window, RECORDED_KILLTIMER, id, 0, std::wstring()});
}

std::vector<RecordedMessage> RecordedMessages() {
    std::lock_guard<std::mutex> lock(guard);
    return recorded;
}

void ResetRecordedMessages() {
    std::lock_guard<std::mutex> lock(guard);
    recorded.clear();
    handler = nullptr;
}

void SetMessageHandler(std::function<std::intptr_t(const RecordedMessage&)> h) {
    std::lock_guard<std::mutex> lock(guard);
    handler = std::move(h);
}
