// The sync engine's two workers and the state they share with the program:
// the address found, the reply in progress and the record of the last sync.
#pragma once

#include <string>

#include "net/run_exchange.h"
#include "sync/protocol.h"

// The address the last check found; empty when it found none.
extern wchar_t CurrentIP[CURRENT_IP_CAPACITY];
// The address the query over IPv6 found; empty when it found none or the
// option "Update IPv6" is off.
extern wchar_t CurrentIP6[CURRENT_IP6_CAPACITY];
// The raw reply of the exchange in progress. Never destroyed: a worker
// still out when the program ends may write to it.
extern std::string& ResponseBuffer;

// Thread procedures; each tells the program what it found (sync/report.h)
// and ends with its end report.
unsigned long CheckIpWorker(void* unused);
unsigned long UpdateWorker(void* unused);

// A worker's exchange: RunExchange into ResponseBuffer, and the notice its
// outcome calls for sent to MainWindow.
ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls,
                               AddressFamily family = AddressFamily::IPv4);

// Records CurrentIP as LASTIP and now as TIMESTAMP, in memory and registry;
// with withIPv6 also CurrentIP6 as LASTIP6 (an update that sent it).
void SaveLastSync(bool withIPv6 = false);

std::wstring UnixTimeText();
std::wstring LocalTimeText();
