// The computer player's own thread: it chooses moves one request at a time,
// away from the user-interface thread, and can be told to stop at once.
#pragma once

#include "engine/ComputerPlayer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class TThinkingThread {
public:
    // Called on the thread with the ticket of a request that ran to its end
    // and the move chosen (nothing when the position has no move).
    // Cancelled requests report nothing.
    using TDone = std::function<void(std::uint64_t ticket, std::optional<TMove> move)>;

    explicit TThinkingThread(TDone done);
    // Cancels what runs and waits the few milliseconds it takes to stop.
    ~TThinkingThread();
    TThinkingThread(const TThinkingThread&) = delete;
    TThinkingThread& operator=(const TThinkingThread&) = delete;

    // Replaces whatever runs or waits with this request. `newGame` makes the
    // player forget what the searches of the last game taught it.
    void Start(std::uint64_t ticket, TThinkRequest request, bool newGame);
    // Tells the running search to stop and drops the waiting one; returns
    // at once.
    void Cancel();
    // True from Start until the search has returned, cancelled or not.
    bool Busy() const { return busy_.load(); }

private:
    struct TJob {
        std::uint64_t Ticket = 0;
        TThinkRequest Request;
        std::shared_ptr<std::atomic<bool>> Cancel;
    };

    void Run();

    TDone done_;
    std::unique_ptr<TComputerPlayer> player_; // made on the thread: its tables take a moment
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<TJob> waiting_;
    std::shared_ptr<std::atomic<bool>> running_; // the cancel flag of the search under way
    bool forget_ = false;
    bool stopping_ = false;
    std::atomic<bool> busy_{false};
    std::thread thread_; // last: it starts when everything it uses exists
};
