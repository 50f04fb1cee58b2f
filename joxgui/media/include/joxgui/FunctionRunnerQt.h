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
    explicit FunctionRunnerQt(QObject* pParent = nullptr);
    // Waits for the worker without time limit, as CloseThread does.
    ~FunctionRunnerQt() override;

    // Runs function on a worker thread; false while a worker is held.
    bool Start(std::function<void(FunctionRunnerQt&)> function);
    // For the running function: reports progress in percent.
    void ReportProgress(int percent);
    // Cancels and interrupts the worker and waits at most waitMs (0 when
    // negative) for it. True once the worker has ended and is released (or
    // when there is none); false when it still runs: it is kept, a later call
    // waits again, and the caller must not free what the worker uses.
    bool TryCloseThread(int waitMs);

signals:
    void ProgressChanged(int percent);
    void FunctionStarted();
    void FunctionFinished();

public slots:
    void Cancel() override;
    // Cancels and interrupts the worker and returns only once it has ended
    // (no time limit); the worker is released.
    void CloseThread();
};

} // namespace JoxGui
