#include <joxgui/FunctionRunner.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace JoxGui {

FunctionRunner::FunctionRunner() = default;

FunctionRunner::~FunctionRunner()
{
    // The worker may still use this object: it must end before it goes.
    StopThread(-1);
}

void FunctionRunner::Cancel()
{
    mCancelRequested = true;
}

bool FunctionRunner::IsCancelRequested() const
{
    return mCancelRequested;
}

bool FunctionRunner::HasThread() const
{
    return static_cast<bool>(mpThread);
}

bool FunctionRunner::StartThread(std::function<void()> function)
{
    if (mpThread)
        return false;
    mCancelRequested = false;
    mpThread.reset(new boost::thread(std::move(function)));
    SetRunning(true);
    return true;
}

bool FunctionRunner::StopThread(int waitMs)
{
    if (!mpThread)
        return true;
    Cancel();
    mpThread->interrupt();
    if (waitMs < 0)
        mpThread->join();
    else if (!mpThread->timed_join(boost::posix_time::milliseconds(waitMs)))
        return false;
    mpThread.reset();
    SetRunning(false);
    return true;
}

void FunctionRunner::SetRunning(bool)
{
}

} // namespace JoxGui
