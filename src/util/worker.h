// Starting the sync workers on a thread of their own.
#pragma once

using WorkerHandle = void*;
using WorkerProcedure = unsigned long (*)(void*);

// Starts procedure on a new thread; returns its handle, or null when the
// thread could not be started.
WorkerHandle StartWorkerThread(WorkerProcedure procedure);
void CloseWorkerHandle(WorkerHandle handle);
