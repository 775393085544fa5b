// Starting the sync workers on a thread of their own.
#pragma once

using WorkerHandle = void*;
using WorkerProcedure = unsigned long (*)(void*);

// Starts procedure(argument) on a new thread; returns its handle, or null
// when the thread could not be started (argument is then the caller's).
WorkerHandle StartWorkerThread(WorkerProcedure procedure, void* argument);
void CloseWorkerHandle(WorkerHandle handle);
