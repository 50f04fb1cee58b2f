#pragma once

#include <joxmaintenance/Command.h>

#include <QList>
#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QTimer;

namespace joxwsstreaming {
class DownloadProgress;
}

namespace joxmaintenance {

// The status line under the workspace's pages: the gathers and downloads
// under way with how far they have come, how the last one ended, and why a
// server was left. The workspace feeds it; each work keeps the server it was
// started on, whatever is selected later.
class StatusArea : public QWidget
{
    Q_OBJECT

public:
    explicit StatusArea(QWidget* pParent = nullptr);

    // Shows a gather or download until EndWork; rText names it with its
    // server. A null command is ignored.
    void AddWork(const CommandPtr& rCommand, const QString& rText, const QString& rServerUrl,
                 const QString& rServerName);
    // Shows how the work of the command ended (done and where the file went,
    // or failed); false when it is not one shown here.
    bool EndWork(const CommandPtr& rCommand);
    // Drops every work (they were aborted without a word from them) and says
    // that they stopped when the server was left.
    void StopAllWorks();
    bool HasWorks() const { return !mWorks.isEmpty(); }
    // The running work of that type, server and collection (any collection
    // when empty); null when there is none.
    CommandPtr FindWork(int commandType, const QString& rServerUrl, const QString& rName) const;

    // rEnd above the running works, replacing the last end.
    void ShowEnd(const QString& rEnd);
    // The last end shown, kept while works run.
    QString GetEnd() const { return mEnd; }
    // The whole text: the last end, then each running work.
    QString Text() const;

private:
    void Refresh();

    struct Work
    {
        CommandPtr mpCommand;
        QString mText;
        QString mServerUrl;
        QString mServerName;
        std::shared_ptr<const joxwsstreaming::DownloadProgress> mpProgress; // null when not counted
    };

    QLabel* mpLabel;
    // Refreshes the line while works run.
    QTimer* mpProgressTimer;
    QList<Work> mWorks;
    QString mEnd;
};

} // namespace joxmaintenance
