// What the workers tell the program, from their own thread, as an attempt
// goes. Declared here, defined by the program (app/) and by each test; each
// call returns once the program has taken it, so an outcome passed by
// reference is read while the worker waits.
#pragma once

struct SyncOutcome;

// The last call of each worker, with what it found.
void ReportCheckIpEnd(const SyncOutcome& outcome);
void ReportUpdateEnd(const SyncOutcome& outcome);
