// Paced waiting for the animations (1 ms per cell while a new board is
// revealed, 50 ms per cell while a blocked side's cells are filled).
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system
// tick counter; compare readings only by unsigned difference.
std::uint32_t GetTickCount();

// Waits at least n ms by the tick counter, handling pending events at least
// once (also for n <= 0). It blocks in a nested event loop instead of
// polling, so the processor stays idle and the window stays responsive.
void WaitMs(std::int32_t n);

// The time a pace runs on, and its sleep. Tests hand in their own.
class TPaceClock {
public:
    virtual ~TPaceClock() = default;
    // Nanoseconds since an arbitrary start; never goes back.
    virtual std::int64_t NowNs() = 0;
    // Returns once NowNs() >= wakeNs, handling events meanwhile.
    virtual void SleepUntil(std::int64_t wakeNs) = 0;
    // Handles the pending events and returns.
    virtual void ProcessEvents() = 0;
};

// The steady clock, sleeping in a nested event loop of the calling thread.
TPaceClock& EventLoopClock();

// The pace of an animation of `steps` steps: step k (from 1) is due k step
// lengths after the pace was made (counted, like the tick counter, from the
// last whole millisecond), so time lost in one step is made up in the next
// instead of adding up. What the animation shows only reaches the
// screen once per display frame, so the thread sleeps at most once per frame:
// steps that fall due within a frame run one after the other when it
// begins, and the last step ends on time.
class TPace {
public:
    static constexpr double DefaultFrameMs = 1000.0 / 60;

    // A frame of 0 or less sleeps for every step.
    TPace(int steps, double stepMs, double frameMs = DefaultFrameMs, TPaceClock& clock = EventLoopClock());

    int Steps() const { return steps_; }
    double StepMs() const { return stepMs_; }
    // Steps whose wait has returned.
    int StepsDone() const { return done_; }

    // Returns when the next step is due, never earlier. Events are handled
    // while it sleeps, and once per frame when the steps run late.
    // `showFrame` runs right before that, at most once per frame: whatever
    // the animation shows is drawn there.
    void Wait(const std::function<void()>& showFrame = {});

private:
    TPaceClock& clock_;
    int steps_;
    double stepMs_;
    std::int64_t startNs_;
    std::int64_t stepNs_;
    std::int64_t frameNs_;
    std::int64_t eventsNs_; // when events were last handled
    int done_ = 0;
};
