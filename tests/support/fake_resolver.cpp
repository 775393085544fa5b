// ResolveHost answered from a table.
#include "fake_resolver.h"

#include "net/transport.h"
#include "util/text.h"

FakeResolverState& FakeResolver() {
    static FakeResolverState state;
    return state;
}

int ResolveHost(wchar_t* buffer) {
    FakeResolverState& r = FakeResolver();
    r.lookups.push_back(buffer);
    auto it = r.answers.find(buffer);
    if (it == r.answers.end()) {
        CopyText(buffer, UNRESOLVED_ADDRESS, HOST_TEXT_CAPACITY);
        return -1;
    }
    CopyText(buffer, it->second.c_str(), HOST_TEXT_CAPACITY);
    return 0;
}
