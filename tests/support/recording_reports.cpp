// Recording implementations of the workers' reports: one ordered log, safe
// to fill from any thread.
#include <mutex>

#include "net/report.h"
#include "support/fakes.h"
#include "sync/report.h"

WindowHandle MainWindow = nullptr;

namespace {
std::mutex guard;
std::vector<std::wstring> reports;

void Report(const std::wstring& what) {
    std::lock_guard<std::mutex> lock(guard);
    reports.push_back(what);
}
}  // namespace

void ReportConnectionFailure(int notice) { Report(L"failure " + std::to_wstring(notice)); }
void ReportAddress(const wchar_t* text) { Report(std::wstring(L"address ") + text); }
void ReportAddress6(const wchar_t* text) { Report(std::wstring(L"address6 ") + text); }
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
