#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <functional>

namespace JoxGui {

// Runs one function on a worker thread of its own. The function cooperates
// with cancelling by polling IsCancelRequested (or at Boost interruption
// points).
class FunctionRunner
{
public:
    FunctionRunner();
    virtual ~FunctionRunner();
    FunctionRunner(const FunctionRunner&) = delete;
    FunctionRunner& operator=(const FunctionRunner&) = delete;

    // Asks the running function to stop.
    virtual void Cancel();
    bool IsCancelRequested() const;
    // True while a worker thread is held (running or not yet joined).
    bool HasThread() const;

protected:
    // Starts pFunction on a new worker thread; false while one is held.
    bool StartThread(std::function<void()> function);
    // Cancels, interrupts and waits up to waitMs (without limit when
    // negative) for the worker; releases it and returns true once it has
    // ended, else keeps it and returns false.
    bool StopThread(int waitMs);
    // Called with false once the worker thread has been released.
    virtual void SetRunning(bool running);

private:
    boost::shared_ptr<boost::thread> mpThread;
    std::atomic<bool> mCancelRequested{false};
};

} // namespace JoxGui
