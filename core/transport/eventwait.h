#pragma once

class QElapsedTimer;

// Waiting on the user-interface thread without freezing the window.
namespace EventWait {

// Lets the window process what is pending, once.
void processPending();

// processPending(), unless the last turn given through sinceTurn was less
// than SerialLine::kTurnIntervalMs ago: for loops that run thousands of short
// steps a second. True when the window had its turn.
bool processDue(QElapsedTimer &sinceTurn);

// Waits msecs while the window keeps running (clicks, repaints, timers).
void waitProcessing(int msecs);

} // namespace EventWait
