#pragma once

#include <QString>

#include <boost/shared_ptr.hpp>

namespace joxmaintenance {

// The progress record of one command: identity, state, percent and phases.
class CommandStatus
{
public:
    CommandStatus(const QString& rCommandId, const QString& rClientIp, int commandType, int commandStatus,
                  int finishedPhases = 0, double progressPercent = 0.0);

    QString GetCommandId() const { return mCommandId; }
    QString GetClientIp() const { return mClientIp; }
    int GetCommandType() const { return mCommandType; }
    int GetCommandStatus() const { return mCommandStatus; }
    QString GetErrorDetails() const { return mErrorDetails; }
    double GetProgressPercent() const { return mProgressPercent; }
    QString GetProgressDetails() const { return mProgressDetails; }
    int GetFinishedPhases() const { return mFinishedPhases; }
    // 2 for gather commands, 1 for every other type.
    int GetTotalPhases() const { return mTotalPhases; }

    void SetErrorDetails(const QString& rDetails) { mErrorDetails = rDetails; }
    void SetProgressDetails(const QString& rDetails) { mProgressDetails = rDetails; }
    // Progress within the current phase; on a finished command logs a warning
    // and sets 100.
    void SetProgressPercent(double percent);
    // Completes the current phase; the last one sets the state to finished.
    void FinishPhase();

private:
    QString mCommandId;
    QString mClientIp;
    int mCommandType;
    int mCommandStatus;
    QString mErrorDetails;
    double mProgressPercent;
    QString mProgressDetails;
    int mFinishedPhases;
    int mTotalPhases;
};

using CommandStatusPtr = boost::shared_ptr<CommandStatus>;

} // namespace joxmaintenance
