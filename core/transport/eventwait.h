#pragma once

// Waiting on the user-interface thread without freezing the window.
namespace EventWait {

// Lets the window process what is pending, once.
void processPending();

// Waits msecs while the window keeps running (clicks, repaints, timers).
void waitProcessing(int msecs);

} // namespace EventWait
