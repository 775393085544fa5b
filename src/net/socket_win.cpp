// Winsock's part of the transport: start-up, clean-up and socket options.
#include <windows.h>

#include "net/transport.h"

bool PlatformSocketStartup() {
    WSADATA data;
    if (WSAStartup(0x0202, &data) != 0) return false;
    if (data.wVersion != 0x0202) {
        WSACleanup();
        return false;
    }
    return true;
}

void PlatformSocketCleanup() {
    WSACleanup();
}

void SetSocketTimeouts(SOCKET s, int receiveMs, int sendMs) {
    DWORD receive = static_cast<DWORD>(receiveMs), send = static_cast<DWORD>(sendMs);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receive), sizeof receive);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&send), sizeof send);
}


void ReportSocketStartupFailure() {
    MessageBoxW(nullptr, L"WSA INIT Error!", L"Init Error", MB_ICONERROR);
}
