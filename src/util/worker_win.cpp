// Windows threads for the sync workers.
#include "util/worker.h"

#include <windows.h>

namespace {
struct Start {
    WorkerProcedure procedure;
    void* argument;
};

DWORD WINAPI RunWorker(LPVOID start) {
    Start s = *static_cast<Start*>(start);
    delete static_cast<Start*>(start);
    return s.procedure(s.argument);
}
}  // namespace

WorkerHandle StartWorkerThread(WorkerProcedure procedure, void* argument) {
    Start* start = new Start{procedure, argument};
    HANDLE thread = CreateThread(nullptr, 0, RunWorker, start, 0, nullptr);
    if (thread == nullptr) delete start;
    return thread;
}

void CloseWorkerHandle(WorkerHandle handle) {
    CloseHandle(handle);
}
