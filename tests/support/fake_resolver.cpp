// ResolveHost answered from a table; never asks a name server.
#include "net/transport.h"
#include "support/fakes.h"
#include "util/text.h"

FakeResolverState& FakeResolver() {
    static FakeResolverState state;
    return state;
}

int ResolveHost(wchar_t* buffer) {
    FakeResolverState& r = FakeResolver();
    r.lookups.push_back(buffer);
    auto it = r.answers.find(buffer);
    CopyText(buffer, it == r.answers.end() ? UNRESOLVED_ADDRESS : it->second.c_str(), HOST_TEXT_CAPACITY);
    return it == r.answers.end() ? -1 : 0;
}

int ResolveHost6(wchar_t* buffer) {
    FakeResolverState& r = FakeResolver();
    r.lookups.push_back(std::wstring(L"AAAA ") + buffer);
    auto it = r.answers6.find(buffer);
    CopyText(buffer, it == r.answers6.end() ? UNRESOLVED_ADDRESS : it->second.c_str(), HOST_TEXT_CAPACITY);
    return it == r.answers6.end() ? -1 : 0;
}
