// The sync engine: the gate, the check-IP query, the update request, the
// reply codes and the record of the last sync.
#pragma once

#include <string>

#include "net/run_exchange.h"
#include "sync/exchange.h"
#include "util/window.h"
#include "util/worker.h"

extern wchar_t CurrentIP[CURRENT_IP_CAPACITY];  // last address found, or "CHECK ERROR"
// The raw reply of the exchange in progress. Never destroyed: a worker
// still out when the program ends may write to it.
extern std::string& ResponseBuffer;

// The Sync page's Date, IP and STATUS edits, where an attempt shows itself.
extern WindowHandle QueryEdits[3];
// The one worker out, or null. Main thread only.
extern WorkerHandle WorkerThread;

// Main thread: stamps the Sync page and starts CheckIpWorker, or refuses
// with "STOP SPAM" and sends WM_SYNC_DONE itself.
void BeginSync();

// Thread procedures; each ends with its report to MainWindow
// (WM_CHECKIP_DONE, WM_SYNC_DONE).
unsigned long CheckIpWorker(void* unused);
unsigned long UpdateWorker(void* unused);

// A worker's exchange: RunExchange into ResponseBuffer, and the notice its
// outcome calls for sent to MainWindow.
ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls);

// Records CurrentIP as LASTIP and now as TIMESTAMP, in memory and registry.
void SaveLastSync();

std::wstring UnixTimeText();
std::wstring LocalTimeText();
