#include <clientcommon/DocumentOpener.h>

#include <joxlog/JoxLog.h>
#include <zephrane/Exception/Generic.h>
#include <zephrane/Utilities.h>

#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>

#include <system_error>
#include <thread>

namespace clientcommon {

namespace {

void LogDocument(int level, const QString& rText, int line)
{
    JoxCore::Log(level, 0, "Documents", rText.toUtf8().constData(), __FILE__, line,
                 "clientcommon::DocumentOpener::Open");
}

} // namespace

DocumentOpener::DocumentOpener(QObject* pParent)
    : QObject(pParent)
{
}

void DocumentOpener::Open(const QString& rPath)
{
    LogDocument(5, QStringLiteral("Opening the document %1").arg(rPath), __LINE__);
    QPromise<QString> promise;
    auto* pWatcher = new QFutureWatcher<QString>(this);
    connect(pWatcher, &QFutureWatcherBase::finished, this, [this, pWatcher, rPath] {
        const QFuture<QString> future = pWatcher->future();
        // A run whose thread could not start ends without a result.
        const QString error = future.resultCount() > 0 ? future.result()
                                                       : QStringLiteral("No thread could be started for the opener.");
        pWatcher->deleteLater();
        --mRunning;
        if (!error.isEmpty())
            LogDocument(3, QStringLiteral("Could not open the document %1: %2").arg(rPath, error), __LINE__);
        emit SignalEnded(rPath, error);
    });
    pWatcher->setFuture(promise.future());
    ++mRunning;
    promise.start();
    try
    {
        // Detached like the opener itself: nothing waits for it when the
        // program ends. The promise is the only thing it shares with the
        // GUI, and it outlives the watcher safely.
        std::thread([promise = std::move(promise), path = rPath.toStdWString()]() mutable {
            QString error;
            try
            {
                // Handed straight to the opener, not through a shell
                // command line, so the path is not quoted.
                zephrane::OpenDocument(path, true, true);
            }
            catch (const zephrane::Exception::Generic& rError)
            {
                error = QString::fromUtf8(rError.what());
            }
            promise.addResult(error);
            promise.finish();
        }).detach();
    }
    catch (const std::system_error&)
    {
        // The promise went down with the thread's callable, finished without
        // a result: the watcher reports the failure.
    }
}

} // namespace clientcommon
