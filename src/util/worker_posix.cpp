// POSIX threads for the sync workers, so the native build can run them the
// way the program does.
#include "util/worker.h"

#include <system_error>
#include <thread>

WorkerHandle StartWorkerThread(WorkerProcedure procedure, void* argument) {
    try {
        std::thread(procedure, argument).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    // The handle only has to be distinct from null and released once.
    return new int(0);
}

void CloseWorkerHandle(WorkerHandle handle) {
    delete static_cast<int*>(handle);
}
