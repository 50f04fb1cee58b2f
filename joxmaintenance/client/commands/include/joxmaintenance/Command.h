#pragma once

#include <joxcore/BasicCommand.h>
#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/CommandType.h>

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <boost/shared_ptr.hpp>

#include <functional>
#include <memory>
#include <string>

namespace joxmaintenance {

class ServiceProxy;

// One request to a server's maintenance service: executed once, on a thread
// of its own or the poll thread, with one SOAP exchange; records its result
// in its state and messages instead of throwing.
class Command : public JoxCore::BasicCommand
{
public:
    // The status record starts as (new UUID, empty address, type, pending).
    Command(const QString& rServerUrl, int commandType);
    // Copies messages, state and URL; the copy shares the status record and
    // is not aborted.
    Command(const Command& rOther);
    ~Command() override;

    QString GetDescription() const override = 0;
    // An empty pointer.
    boost::shared_ptr<void> GetSharedObject() const override;
    // Runs the exchange.
    virtual void DoExecute() = 0;
    // A new copy of the same class, owned by the caller.
    virtual Command* Clone() const = 0;

    QString GetServerUrl() const { return mServerUrl; }
    int GetCommandType() const;
    // The order of the command's request: a number that grows with every
    // command made in the process, on any thread; a copy keeps it.
    quint64 GetSerial() const { return mSerial; }
    // The serial of the command made last; every command made from now on
    // has a greater one.
    static quint64 LatestSerial();
    CommandStatusPtr GetCommandStatus() const { return mpStatus; }
    // Callable from any thread: a running exchange ends at once, also while
    // it connects (its socket is shut down, so a download stops and its
    // temporary file goes), and an exchange not yet started fails without
    // connecting.
    void Abort();
    bool IsAborted() const;

    // What the operator is shown of each failed execution, one after the
    // other: the line that says what happened, then only those of the
    // runtime's fault texts that add to it (a fault's XML detail as its
    // text); empty when no execution failed. The error messages keep the
    // runtime's whole text for the log.
    QString GetErrorDetails() const;
    // The line that says why the last execution failed, in the operator's
    // words (for an exception, which adds no message, its text); empty when
    // it did not fail.
    QString GetFailureReason() const { return mFailureReason; }
    // Why the last execution failed on this computer (a local file or
    // folder), not on the server; empty when it did not.
    QString GetLocalFault() const { return mLocalFault; }

protected:
    using Exchange = std::function<int(ServiceProxy& rProxy, const char* pEndpoint)>;
    using Success = std::function<void(ServiceProxy& rProxy)>;

    // The common steps: running state, a proxy of its own, the call, and on
    // failure an error message with the fault text and the failed state; on
    // success rOnSuccess sets the state and takes the results. A
    // std::exception is logged under pFunction and fails the command.
    void Execute(const char* pFunction, const Exchange& rCall, const Success& rOnSuccess);
    // Marks the running exchange's failure as local: its error message then
    // carries rText instead of the fault text.
    void SetLocalFault(const QString& rText) { mLocalFault = rText; }
    // "Could not write the file ... on this computer: <reason>", for a local
    // path (file system encoding) and the system's reason.
    static QString LocalWriteFault(const std::string& rPath, const std::string& rReason);

    CommandStatusPtr mpStatus;
    QString mServerUrl;

private:
    quint64 mSerial;
    QString mLocalFault;
    // What GetErrorDetails and GetFailureReason give.
    QStringList mShownFailures;
    QString mFailureReason;
    struct AbortLink;
    friend struct AbortHooks;
    std::shared_ptr<AbortLink> mpAbort;
};

using CommandPtr = boost::shared_ptr<Command>;

} // namespace joxmaintenance

Q_DECLARE_METATYPE(joxmaintenance::CommandPtr)
