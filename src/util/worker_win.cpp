// Windows threads for the sync workers.
#include "util/worker.h"

#include <windows.h>

namespace {
DWORD WINAPI RunWorker(LPVOID procedure) {
    return reinterpret_cast<WorkerProcedure>(procedure)(nullptr);
}
}  // namespace

WorkerHandle StartWorkerThread(WorkerProcedure procedure) {
    return CreateThread(nullptr, 0, RunWorker, reinterpret_cast<LPVOID>(procedure), 0, nullptr);
}

void CloseWorkerHandle(WorkerHandle handle) {
    CloseHandle(handle);
}
