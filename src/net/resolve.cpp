// Host resolution through the system resolver. Kept apart from the rest of
// the transport so the settings tests can link a resolver of their own.
#include <cstring>

#include "net/transport.h"
#include "util/text.h"

int ResolveHost(wchar_t* buffer) {
    if (StartWinsock() == -1) {
        ReportSocketStartupFailure();
        return -1;
    }
    char name[HOST_TEXT_CAPACITY];
    WideToAnsi(name, buffer, sizeof name);
    if (IsDottedQuad(name)) return 0;
    // The resolver reads 0x0a.1 or 10.1 as a number, not as a name: such a
    // text is no host, whatever address the number would give.
    hostent* host = inet_addr(name) == INADDR_NONE ? gethostbyname(name) : nullptr;
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr) {
        CopyText(buffer, UNRESOLVED_ADDRESS, HOST_TEXT_CAPACITY);
        return -1;
    }
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], sizeof first);
    AnsiToWide(buffer, inet_ntoa(first), HOST_TEXT_CAPACITY);
    return 0;
}
