// Host resolution through the system resolver. Kept apart from the rest of
// the transport so the settings tests can link a resolver of their own.
#include "net/transport.h"

#include "util/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstring>

int ResolveHost(wchar_t* buffer) {
    if (StartWinsock() == -1) {
#ifdef _WIN32
        MessageBoxW(nullptr, L"WSA INIT Error!", L"Init Error", MB_ICONERROR);
#endif
        return -1;
    }
    char name[HOST_TEXT_CAPACITY];
    WideToAnsi(name, buffer, sizeof name);
    hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr) {
        CopyText(buffer, UNRESOLVED_ADDRESS, HOST_TEXT_CAPACITY);
        return -1;
    }
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], sizeof first);
    AnsiToWide(buffer, inet_ntoa(first), HOST_TEXT_CAPACITY);
    return 0;
}
