// BSD sockets' part of the transport, so the native build runs the same
// exchanges.
#include <csignal>

#include "net/transport.h"

bool PlatformSocketStartup() {
    // Winsock reports a write to a closed connection as an error; make
    // POSIX do the same instead of ending the process with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

void PlatformSocketCleanup() {}

void SetSocketTimeouts(SOCKET s, int receiveMs, int sendMs) {
    TimeoutParts r = SplitTimeout(receiveMs), w = SplitTimeout(sendMs);
    timeval receive{r.seconds, r.microseconds}, send{w.seconds, w.microseconds};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof receive);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &send, sizeof send);
}


void ReportSocketStartupFailure() {}
