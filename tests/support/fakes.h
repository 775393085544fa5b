// Link-time stand-ins for the platform, for tests: an in-memory registry,
// a scripted resolver and the workers' reports recorded.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "util/window.h"

struct MemoryRegistryState {
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    int writes = 0;
    bool failWrites = false;
};
MemoryRegistryState& MemoryRegistry();  // reset with MemoryRegistry() = {}
// The stored text, or null when the value is absent.
const std::wstring* StoredValue(const std::wstring& subkey, const std::wstring& name);

struct FakeResolverState {
    std::map<std::wstring, std::wstring> answers;  // name -> dotted address
    std::vector<std::wstring> lookups;             // names asked, in order
    std::map<std::wstring, std::wstring> answers6;  // name -> IPv6 (AAAA) address
};
FakeResolverState& FakeResolver();

// The workers' reports (sync/report.h, net/report.h) in order, from any thread: "failure 515", "check-IP end
// 192.0.2.7" ("-" for none), "update end GOOD 192.0.2.7"; with the IPv6 query the IPv6 address follows ("check-IP end
// 192.0.2.7 2001:db8::7").
std::vector<std::wstring> WorkerReports();
void ClearWorkerReports();

inline WindowHandle FakeWindow(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}
