// Measures full sync attempts against the loopback stand-ins (plain and
// TLS) and the cost of interpreting replies of growing size. Prints
// numbers; passes or fails nothing.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <string>
#include <vector>

#include "../support/recording_window.h"
#include "app/ui_handles.h"
#include "settings/settings.h"
#include "sync/exchange.h"
#include "sync/sync.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct Summary {
    double median, p10, p90, mean, stddev;
};

Summary Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    double mean = sum / v.size();
    double sq = 0;
    for (double x : v) sq += (x - mean) * (x - mean);
    auto at = [&](double q) { return v[static_cast<std::size_t>(q * (v.size() - 1))]; };
    return {at(0.5), at(0.1), at(0.9), mean, std::sqrt(sq / v.size())};
}

// One attempt as the program makes it: the check-IP query, then the update.
bool Attempt() {
    ResetRecordedMessages();
    CheckIpWorker(nullptr);
    if (std::wcscmp(CurrentIP, L"192.0.2.7") != 0) return false;
    UpdateWorker(nullptr);
    return true;
}

void BenchAttempts(const char* label, bool secure, int count) {
    SettingsRecord.UseSSLFlag = secure;
    Attempt();  // warm-up: first connections, library start-up
    std::vector<double> ms;
    double cpuBefore = CpuSeconds();
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        auto start = Clock::now();
        if (!Attempt()) ++failed;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    double cpuPerAttempt = (CpuSeconds() - cpuBefore) / count * 1000;
    Summary s = Summarise(ms);
    std::printf("%-6s attempts=%d failed=%d  latency ms: median %.2f  p10 %.2f  p90 %.2f  mean %.2f  sd %.2f"
                "  cpu/attempt %.2f ms\n",
                label, count, failed, s.median, s.p10, s.p90, s.mean, s.stddev, cpuPerAttempt);
}

void BenchInterpretation() {
    std::printf("\ninterpreting a reply (reply table + page markers), by size:\n");
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    for (std::size_t size = 1024; size <= RESPONSE_LIMIT; size *= 2) {
        // Filler that matches no code, so every row scans the whole reply.
        std::string reply = head + std::string(size - head.size() - 16, 'x') + "\r\nnochg 192.0.2.7";
        const int rounds = 2000;
        bool record = false;
        std::string address;
        std::size_t sink = 0;
        auto start = Clock::now();
        for (int i = 0; i < rounds; ++i) {
            sink += std::wcslen(UpdateReplyWord(reply, &record));
            sink += FindCheckIpAddress(reply, address);
        }
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
        std::printf("  %6zu bytes: %8.2f us per reply, %6.3f ns per byte%s\n", reply.size(), us,
                    us * 1000 / reply.size(), sink == 0 ? " (?)" : "");
    }
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 200;
    MainWindow = MakeRecordingWindow();
    for (WindowHandle& edit : QueryEdits) edit = MakeRecordingWindow();
    std::wcscpy(SettingsRecord.DomainCheckIP, L"127.0.0.17");
    std::wcscpy(SettingsRecord.DomainDynDNS, L"127.0.0.18");
    std::wcscpy(SettingsRecord.AUTH, L"ZGVtbzpzZWNyZXQ=");
    std::wcscpy(SettingsRecord.LASTIP, L"NULL");
    std::wcscpy(SettingsRecord.TIMESTAMP, L"NULL");
    SettingsRecord.HostList = {L"a.example", L"b.example"};

    std::printf("full sync attempts against loopback stand-ins (check-IP + update):\n");
    BenchAttempts("plain", false, count);
    BenchAttempts("tls", true, count / 4 > 0 ? count / 4 : 1);

    BenchInterpretation();

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
