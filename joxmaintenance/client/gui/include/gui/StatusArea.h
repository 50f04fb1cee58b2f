#pragma once

#include <joxmaintenance/Command.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QLabel;
class QScrollArea;
class QTimer;

namespace joxwsstreaming {
class DownloadProgress;
}

namespace joxmaintenance {

// The status area under the workspace's pages: the gathers and downloads
// under way with how far they have come, why a server was left, then how
// the last few ended (where the file went, or why they failed), each group
// the latest first. It is three lines high and scrolls when it holds more.
// The workspace feeds it; each work keeps the server it was started on,
// whatever is selected later.
class StatusArea : public QWidget
{
    Q_OBJECT

public:
    explicit StatusArea(QWidget* pParent = nullptr);

    // Shows a gather or download until EndWork; rText names it with its
    // server. A null command is ignored.
    void AddWork(const CommandPtr& rCommand, const QString& rText, const QString& rServerUrl,
                 const QString& rServerName);
    // Shows how the work of the command ended: done and where the file went,
    // or failed and the command's reason; false when it is not one shown
    // here.
    bool EndWork(const CommandPtr& rCommand);
    bool HasWorks() const { return !mWorks.isEmpty(); }
    // The running work of that type, server and collection (any collection
    // when empty); null when there is none.
    CommandPtr FindWork(int commandType, const QString& rServerUrl, const QString& rName) const;

    // rEnd as the latest of the ended works, below the running ones; the
    // oldest goes beyond the few kept.
    void ShowEnd(const QString& rEnd);
    // rNote below the running works, saying that the server of rServerUrl
    // was left, until that server answers again (ServerAnswered) or another
    // one is left.
    void ShowServerLeft(const QString& rServerUrl, const QString& rNote);
    // The server of rServerUrl answered: a note that it was left goes.
    void ServerAnswered(const QString& rServerUrl);
    // The note shown that the server of rServerUrl was left; empty when
    // there is none.
    QString LeftNote(const QString& rServerUrl) const;
    // The whole text: each running work, the note of a left server, then
    // the ended works, the latest first.
    QString Text() const;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Refresh();
    // Three lines of the label's font, which the style may change.
    void FitHeight();

    struct Work
    {
        CommandPtr mpCommand;
        QString mText;
        QString mServerUrl;
        QString mServerName;
        std::shared_ptr<const joxwsstreaming::DownloadProgress> mpProgress; // null when not counted
    };

    QScrollArea* mpScrollArea;
    QLabel* mpLabel;
    // Refreshes the area while works run.
    QTimer* mpProgressTimer;
    QList<Work> mWorks;
    // The ended works' lines, the latest first.
    QStringList mEnds;
    QString mLeftServerUrl;
    QString mLeftNote;
};

} // namespace joxmaintenance
