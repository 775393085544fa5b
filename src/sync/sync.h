// The sync engine's two workers. Each gets a job, a copy of everything it
// needs made on the main thread, and reads nothing else of the program's;
// what it found comes back in its end report, and the main thread records it.
#pragma once

#include <string>
#include <vector>

#include "net/run_exchange.h"
#include "settings/settings.h"
#include "sync/protocol.h"

// One worker's job. A plain record, copied whole: a Save or Reload while the
// worker is out cannot change or free what it reads. A capability that needs
// more of the settings adds a field here and fills it in the two makers.
struct SyncJob {
    std::wstring server;                  // the host asked: the Check IP field (host/path) or the update host
    unsigned short port = 80;
    bool tls = false;
    std::wstring auth;                    // update: the Base64 credential
    std::vector<std::wstring> hostNames;  // update: the host names to point at address
    std::wstring address;                 // update: the address the check found
};

// What a worker found, handed to the main thread with its end report.
struct SyncOutcome {
    std::wstring address;                // check-IP: the address found, empty for none; update: the address sent
    Status status = Status::CheckError;  // check-IP: CHECK ERROR, or CERT ERROR for a refused server; the update's reply
};

// The jobs, made on the main thread from the settings of that moment.
SyncJob CheckIpJob(const SettingsData& settings);
SyncJob UpdateJob(const SettingsData& settings, const std::wstring& address);

// The exchanges themselves: the connection notices go out as they happen
// (net/report.h), the outcome is returned.
SyncOutcome CheckIp(const SyncJob& job);
SyncOutcome Update(const SyncJob& job);

// Thread procedures: job is a SyncJob made with new, which the worker owns
// and deletes; each ends with its end report (sync/report.h).
unsigned long CheckIpWorker(void* job);
unsigned long UpdateWorker(void* job);

// Records address as LASTIP and now as TIMESTAMP, in memory and registry.
// Main thread only.
void SaveLastSync(const wchar_t* address);

std::wstring UnixTimeText();
std::wstring LocalTimeText();
