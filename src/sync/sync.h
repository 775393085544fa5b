// The sync engine's two workers and the state they share with the program:
// the address found, the reply in progress and the record of the last sync.
#pragma once

#include <string>

#include "net/run_exchange.h"
#include "sync/protocol.h"

// The address the last check found; empty when it found none.
extern wchar_t CurrentIP[CURRENT_IP_CAPACITY];
// The raw reply of the exchange in progress. Never destroyed: a worker
// still out when the program ends may write to it.
extern std::string& ResponseBuffer;

// Thread procedures; each tells the program what it found (sync/report.h)
// and ends with its end report.
unsigned long CheckIpWorker(void* unused);
unsigned long UpdateWorker(void* unused);

// A worker's exchange: RunExchange into ResponseBuffer, and the notice its
// outcome calls for sent to MainWindow.
ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls);

// Records CurrentIP as LASTIP and now as TIMESTAMP, in memory and registry.
void SaveLastSync();

std::wstring UnixTimeText();
std::wstring LocalTimeText();
