#include <joxcore/CommandDispatch.h>

#include <joxcore/CommandArguments.h>
#include <joxcore/CommandContexts.h>
#include <joxcore/CommandDispatchState.h>
#include <joxcore/ICommandContext.h>

#include <QCoreApplication>

bool CommandDispatch(const QString& rContext, const QString& rName, CommandArguments* pArguments)
{
    bool found = false;
    bool fellBack = false;
    const std::shared_ptr<ICommandContext> pHandler = CommandContexts::FindOrDefault(rContext, found, fellBack);
    if (pArguments != nullptr) {
        if (!found)
            pArguments->mResults.insert(QStringLiteral("error"),
                                        QCoreApplication::translate("CommandServer", "unknown context"));
        else if (fellBack)
            pArguments->mResults.insert(
                QStringLiteral("warning"),
                QCoreApplication::translate("CommandServer", "unknown context, using default context"));
        if (found && pHandler == nullptr)
            pArguments->mResults.insert(QStringLiteral("error"),
                                        QCoreApplication::translate("CommandServer", "invalid context"));
    }
    // Counted for as long as the handler runs, even when it throws.
    struct InProgress
    {
        std::atomic<int>& mCount;
        explicit InProgress(std::atomic<int>& rCount) : mCount(rCount) { ++mCount; }
        ~InProgress() { --mCount; }
    } inProgress(CommandDispatchState::Instance().mCallsInProgress);
    return pHandler != nullptr && pHandler->Execute(rName, pArguments);
}
