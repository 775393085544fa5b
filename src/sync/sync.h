// The sync engine: the gate, the check-IP query, the update request, the
// reply codes and the record of the last sync.
#pragma once

#include <cstddef>
#include <string>

extern wchar_t CurrentIP[31];        // last address found, or "CHECK ERROR"
extern std::string ResponseBuffer;   // raw reply of the exchange in progress
extern const wchar_t ContactEmail[];

// ResponseBuffer never grows past this: a real reply is a few hundred
// bytes, and a misbehaving server must not make the program grow.
const std::size_t RESPONSE_LIMIT = 64 * 1024;

// Main thread: stamps the Sync page and starts CheckIpWorker, or refuses
// with "STOP SPAM" and sends WM_SYNC_DONE itself.
void BeginSync();

// Thread procedures; each ends with its report to MainWindow
// (WM_CHECKIP_DONE, WM_SYNC_DONE).
unsigned long CheckIpWorker(void* unused);
unsigned long UpdateWorker(void* unused);

// Records CurrentIP as LASTIP and now as TIMESTAMP, in memory and registry.
void SaveLastSync();

std::wstring UnixTimeText();
std::wstring LocalTimeText();
