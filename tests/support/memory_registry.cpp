// In-memory registry: behaves like the real primitives, including the cut to 256 characters on read.
#include "settings/registry.h"
#include "support/fakes.h"

MemoryRegistryState& MemoryRegistry() {
    static MemoryRegistryState state;
    return state;
}

const std::wstring* StoredValue(const std::wstring& subkey, const std::wstring& name) {
    auto& values = MemoryRegistry().values;
    auto it = values.find({subkey, name});
    return it == values.end() ? nullptr : &it->second;
}

std::wstring RegReadString(const wchar_t* subkey, const wchar_t* name) {
    const std::wstring* v = StoredValue(subkey, name);
    return v == nullptr ? std::wstring() : v->substr(0, 256);
}

bool RegWriteString(const wchar_t* subkey, const wchar_t* name, const wchar_t* text) {
    MemoryRegistryState& r = MemoryRegistry();
    r.writes++;
    if (r.failWrites) return false;
    r.values[{subkey, name}] = text;
    return true;
}

bool RegRemoveString(const wchar_t* subkey, const wchar_t* name) {
    return !MemoryRegistry().failWrites && MemoryRegistry().values.erase({subkey, name}) == 1;
}
