// Recording implementations of the workers' reports: one ordered log, safe to fill from any thread.
#include <mutex>

#include "net/report.h"
#include "support/fakes.h"
#include "sync/report.h"
#include "sync/sync.h"

WindowHandle MainWindow = nullptr;

namespace {
std::mutex guard;
// Never destroyed: a worker still out at exit may report.
std::vector<std::wstring>& reports = *new std::vector<std::wstring>();

void Report(const std::wstring& what) {
    std::lock_guard<std::mutex> lock(guard);
    reports.push_back(what);
}
}  // namespace

void ReportConnectionFailure(int notice) { Report(L"failure " + std::to_wstring(notice)); }
void ReportCheckIpEnd(const SyncOutcome& o) {
    std::wstring v6 = o.withIPv6 ? L" " + (o.address6.empty() ? L"-" : o.address6) : L"";
    Report(L"check-IP end " + (o.address.empty() ? L"-" : o.address) + v6 +
           (o.status == Status::CertError ? L" CERT ERROR" : L""));
}
void ReportUpdateEnd(const SyncOutcome& o) {
    Report(L"update end " + std::wstring(StatusWord(o.status)) + L" " + o.address +
           (o.address6.empty() ? L"" : L" " + o.address6));
}

std::vector<std::wstring> WorkerReports() {
    std::lock_guard<std::mutex> lock(guard);
    return reports;
}

void ClearWorkerReports() {
    std::lock_guard<std::mutex> lock(guard);
    reports.clear();
}
