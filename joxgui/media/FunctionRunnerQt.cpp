#include <joxgui/FunctionRunnerQt.h>

#include <boost/thread/exceptions.hpp>

namespace JoxGui {

FunctionRunnerQt::FunctionRunnerQt(int closeWaitMs, QObject* pParent)
    : QObject(pParent)
    , mCloseWaitMs(closeWaitMs)
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
    StopThread(mCloseWaitMs);
}

} // namespace JoxGui
