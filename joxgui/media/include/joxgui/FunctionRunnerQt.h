#pragma once

#include <joxgui/FunctionRunner.h>

#include <QObject>

namespace JoxGui {

// The Qt front end of a function runner: the worker's start, progress and
// end arrive as signals (queued to receivers on other threads).
class FunctionRunnerQt : public QObject, public FunctionRunner
{
    Q_OBJECT

public:
    // closeWaitMs bounds how long CloseThread waits for the worker.
    explicit FunctionRunnerQt(int closeWaitMs = 5000, QObject* pParent = nullptr);
    ~FunctionRunnerQt() override;

    // Runs function on a worker thread; false while a worker is held.
    bool Start(std::function<void(FunctionRunnerQt&)> function);
    // For the running function: reports progress in percent.
    void ReportProgress(int percent);

signals:
    void ProgressChanged(int percent);
    void FunctionStarted();
    void FunctionFinished();

public slots:
    void Cancel() override;
    // Cancels the worker and waits a bounded time for it to end; a worker
    // that does not end in time is kept, and a later call tries again.
    void CloseThread();

private:
    int mCloseWaitMs;
};

} // namespace JoxGui
