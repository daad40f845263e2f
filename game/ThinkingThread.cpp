// The computer player's thread: one request at a time, each with a cancel
// flag of its own, so that stopping an old search never stops the new one.
#include "game/ThinkingThread.h"

#include <utility>

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace {

// The search gives way to the window's thread when both want the processor,
// so that on a busy machine the window still answers quickly. A little
// only: the lower the priority, the later a search that is cancelled gets
// the processor to notice it (bench/ComputerTurnBench measures both).
void LowerThisThreadsPriority()
{
#if defined(__linux__)
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 5);
#elif defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#endif
}

} // namespace

TThinkingThread::TThinkingThread(TDone done)
    : done_(std::move(done))
    , thread_([this] { Run(); })
{
}

TThinkingThread::~TThinkingThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.reset();
        if (running_)
            running_->store(true);
    }
    wake_.notify_all();
    thread_.join();
}

void TThinkingThread::Start(std::uint64_t ticket, TThinkRequest request, bool newGame)
{
    {
        std::lock_guard lock(mutex_);
        if (running_)
            running_->store(true);
        waiting_ = TJob{ticket, std::move(request), std::make_shared<std::atomic<bool>>(false)};
        // Kept apart from the request: a new game's request may be replaced
        // or dropped before it runs, and the next game must still start fresh.
        forget_ = forget_ || newGame;
        busy_.store(true);
    }
    wake_.notify_all();
}

void TThinkingThread::Cancel()
{
    std::lock_guard lock(mutex_);
    if (running_)
        running_->store(true);
    waiting_.reset();
    if (!running_)
        busy_.store(false);
}

void TThinkingThread::Run()
{
    LowerThisThreadsPriority();
    player_ = std::make_unique<TComputerPlayer>();
    for (;;) {
        TJob job;
        bool forget = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
            if (stopping_)
                return;
            job = std::move(*waiting_);
            waiting_.reset();
            running_ = job.Cancel;
            forget = std::exchange(forget_, false);
        }
        if (forget)
            player_->NewGame();
        const std::optional<TMove> move = player_->ChooseMove(job.Request, *job.Cancel);
        const bool cancelled = job.Cancel->load();
        {
            std::lock_guard lock(mutex_);
            running_.reset();
            if (!waiting_)
                busy_.store(false);
        }
        if (!cancelled)
            done_(job.Ticket, move);
    }
}
