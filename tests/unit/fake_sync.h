// A scripted sync engine and worker starter for the cycle tests, and a
// window procedure that dispatches the recorded messages like the main
// window does.
#pragma once

#include <vector>

#include "util/worker.h"

enum class BeginMode { StartWorker, Refuse };

struct FakeSyncState {
    BeginMode mode = BeginMode::StartWorker;
    bool threadsFail = false;  // StartWorkerThread answers null
    int beginCalls = 0;
    int saveCalls = 0;
    std::vector<WorkerProcedure> started;
    std::vector<WorkerHandle> closed;
};

FakeSyncState& FakeSync();

// Resets the fake engine, the recorded messages, the shell recorder, the
// cycle and tray state, gives every control a distinct fake handle and
// installs the dispatching window procedure.
void ResetWindowWorld();
