#pragma once

#include <joxcore/BasicCommand.h>
#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/CommandType.h>

#include <QMetaType>
#include <QString>

#include <boost/shared_ptr.hpp>

#include <functional>
#include <memory>

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
    CommandStatusPtr GetCommandStatus() const { return mpStatus; }
    // Callable from any thread: a running exchange ends at once (its socket
    // is shut down, so a download stops and its temporary file goes), and
    // an exchange not yet started fails without connecting.
    void Abort();
    bool IsAborted() const;

    // The details of the error messages (the fault texts), one after the
    // other; empty when the command recorded none.
    QString GetErrorDetails() const;

protected:
    using Exchange = std::function<int(ServiceProxy& rProxy, const char* pEndpoint)>;
    using Success = std::function<void(ServiceProxy& rProxy)>;

    // The common steps: running state, a proxy of its own, the call, and on
    // failure an error message with the fault text and the failed state; on
    // success rOnSuccess sets the state and takes the results. A
    // std::exception is logged under pFunction and fails the command.
    void Execute(const char* pFunction, const Exchange& rCall, const Success& rOnSuccess);

    CommandStatusPtr mpStatus;
    QString mServerUrl;

private:
    struct AbortLink;
    friend struct AbortHooks;
    std::shared_ptr<AbortLink> mpAbort;
};

using CommandPtr = boost::shared_ptr<Command>;

} // namespace joxmaintenance

Q_DECLARE_METATYPE(joxmaintenance::CommandPtr)
