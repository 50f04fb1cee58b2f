#pragma once

#include <QObject>
#include <QString>

namespace clientcommon {

// Opens documents with the desktop's default program (zephrane::OpenDocument)
// without blocking the GUI thread: each run of the opener is started and
// waited for on a thread of its own, and its end comes back on the thread
// this object lives in. The desktop's opener may take long (some stay until
// the document's program has closed); the GUI never waits for it. Runs
// still going when the object is destroyed end by themselves, unreported.
class DocumentOpener : public QObject
{
    Q_OBJECT

public:
    explicit DocumentOpener(QObject* pParent = nullptr);

    // Starts the opener on the document; SignalEnded follows, also when the
    // opener cannot be started.
    void Open(const QString& rPath);

    // Runs started and not yet ended.
    int Running() const { return mRunning; }

signals:
    // The run for the path has ended: the error is empty when the opener
    // succeeded, else why it did not (it could not be started, or it ended
    // with a status other than 0).
    void SignalEnded(const QString& rPath, const QString& rError);

private:
    int mRunning = 0;
};

} // namespace clientcommon
