// Measures sync attempts (check-IP query, then the update) against the
// loopback stand-ins of tools/bench_standins.list. Prints figures only.
//   sync_bench [attempts]        in-process: latency and CPU per attempt, plain and TLS
//   sync_bench attempts tls LABEL   in-process, TLS only, printed under LABEL
//   sync_bench once plain|tls    one attempt as a whole process, to be timed from outside
// TLS attempts verify the stand-in's chain against the trust SSL_CERT_FILE
// names (tools/with_standins.sh: the test root), loaded once per process.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <string>
#include <vector>

#include "net/report.h"
#include "net/tls.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/report.h"
#include "sync/sync.h"

// The program and its registry are not needed to measure the exchanges:
// reports and stored values go nowhere.
void ReportConnectionFailure(int) {}
void ReportCheckIpEnd(const SyncOutcome&) {}
void ReportUpdateEnd(const SyncOutcome&) {}
std::wstring RegReadString(const wchar_t*, const wchar_t*) { return std::wstring(); }
bool RegWriteString(const wchar_t*, const wchar_t*, const wchar_t*) { return true; }
bool RegRemoveString(const wchar_t*, const wchar_t*) { return true; }

namespace {

double CpuMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

long PeakKiB() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The jobs made from the settings as the program makes them, run on this thread.
bool Attempt(bool secure) {
    SettingsRecord.UseSSLFlag = secure;
    SyncOutcome found = CheckIp(CheckIpJob(SettingsRecord));
    if (found.address != L"192.0.2.7") return false;
    return Update(UpdateJob(SettingsRecord, found.address)).status == Status::Good;
}

void Measure(const char* label, bool secure, int count) {
    Attempt(secure);  // warm-up: first connections
    std::vector<double> ms;
    int failed = 0;
    double cpu = CpuMilliseconds();
    for (int i = 0; i < count; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!Attempt(secure)) ++failed;
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    cpu = (CpuMilliseconds() - cpu) / count;
    std::sort(ms.begin(), ms.end());
    std::printf("%-30s attempts=%d failed=%d  latency ms: median %.2f  p90 %.2f  cpu/attempt %.2f ms\n", label,
                count, failed, ms[ms.size() / 2], ms[ms.size() * 9 / 10], cpu);
}

}  // namespace

int main(int argc, char** argv) {
    TlsStartup();
    std::wcscpy(SettingsRecord.DomainCheckIP, L"127.0.0.50");
    std::wcscpy(SettingsRecord.DomainDynDNS, L"127.0.0.51");
    std::wcscpy(SettingsRecord.AUTH, L"ZGVtbzpzZWNyZXQ=");  // demo:secret
    SettingsRecord.HostList = {L"a.example", L"b.example"};

    if (argc == 3 && std::strcmp(argv[1], "once") == 0) return Attempt(std::strcmp(argv[2], "tls") == 0) ? 0 : 1;
    int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (argc == 4 && std::strcmp(argv[2], "tls") == 0) {
        Measure(argv[3], true, count);
        return 0;
    }
    std::printf("in-process sync attempts against loopback stand-ins (check-IP + update):\n");
    Measure("plain", false, count);
    Measure("tls, test root only", true, count);
    std::printf("peak resident memory: %ld KiB\n", PeakKiB());
    return 0;
}
