// POSIX threads for the sync workers, so the native build can run them the
// way the program does.
#include "util/worker.h"

#include <thread>

WorkerHandle StartWorkerThread(WorkerProcedure procedure) {
    std::thread(procedure, nullptr).detach();
    // The handle only has to be distinct from null and released once.
    return new int(0);
}

void CloseWorkerHandle(WorkerHandle handle) {
    delete static_cast<int*>(handle);
}
