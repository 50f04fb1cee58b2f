#include <joxgui/FunctionRunnerQt.h>

#include <boost/thread/exceptions.hpp>

#include <algorithm>

namespace JoxGui {

FunctionRunnerQt::FunctionRunnerQt(QObject* pParent)
    : QObject(pParent)
{
}

FunctionRunnerQt::~FunctionRunnerQt()
{
    // The worker emits this object's signals: it ends while they still work.
    StopThread(-1);
}

bool FunctionRunnerQt::Start(std::function<void(FunctionRunnerQt&)> function)
{
    return StartThread([this, function = std::move(function)] {
        emit FunctionStarted();
        try {
            function(*this);
        } catch (const boost::thread_interrupted&) {
        }
        emit FunctionFinished();
    });
}

void FunctionRunnerQt::ReportProgress(int percent)
{
    emit ProgressChanged(percent);
}

void FunctionRunnerQt::Cancel()
{
    FunctionRunner::Cancel();
}

void FunctionRunnerQt::CloseThread()
{
    StopThread(-1);
}

bool FunctionRunnerQt::TryCloseThread(int waitMs)
{
    return StopThread(std::max(waitMs, 0));
}

} // namespace JoxGui
