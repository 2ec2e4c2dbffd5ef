#pragma once
// Ctrl+C and the service manager's stop (SIGINT, SIGTERM) for the programs without a
// display: the first signal asks the run to stop as its Cancel button would — at its next
// yield it cleans up, logs "中止されました" and ends with status 2 — and a second signal ends
// the program at once.
namespace qarno {

void InstallStopSignals();
// True the first time it is asked after a stop signal arrived: the request is taken once,
// as one click of the Cancel button, so that the clean-up of the stop is not cut short.
bool TakeStopRequest();

}  // namespace qarno
