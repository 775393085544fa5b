// In-memory stand-in for the registry primitives, for native tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct RegistryWrite {
    std::wstring subkey, name, text;
};

struct MemoryRegistryState {
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    std::vector<RegistryWrite> writes;  // every write, in order
    int reads = 0;
    bool failWrites = false;
};

MemoryRegistryState& MemoryRegistry();
void ResetMemoryRegistry();
// The stored text, or null when the value is absent.
const std::wstring* StoredValue(const std::wstring& subkey, const std::wstring& name);
