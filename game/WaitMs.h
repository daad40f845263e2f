// Paced waiting for the animations (1 ms per cell while a new board is
// revealed, 50 ms per cell while a blocked side's cells are filled).
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system
// tick counter; compare readings only by unsigned difference.
std::uint32_t GetTickCount();

// Waits at least n ms by the tick counter, handling pending events at least
// once (also for n <= 0). It blocks in a nested event loop instead of
// polling, so the processor stays idle and the window stays responsive.
void WaitMs(std::int32_t n);
