#pragma once

#include <joxmaintenance/Command.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QScrollArea;
class QTimer;
class QWheelEvent;

namespace joxwsstreaming {
class DownloadProgress;
}

namespace joxmaintenance {

class WrapAnywhereLabel;

// The status area under the workspace's pages: the gathers and downloads
// under way with how far they have come, why a server was left, then how
// the last few ended (where the file went, or why they failed), each group
// the latest first. It takes a quarter of its parent's height, in whole
// lines and at least three, and less when the widgets beside it need the
// room; it scrolls by whole lines when it holds more, and shows its top
// again when a work starts or ends. The workspace feeds it; each work keeps
// the server it was started on, whatever is selected later.
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

    // As high as its share of the parent's height.
    QSize sizeHint() const override;
    // Three lines.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void Refresh();
    // A line of the label's text, in the font the style may change.
    int LineSpacing() const;
    // The height that shows that many lines.
    int LinesHeight(int lines) const;
    // The lines of the parent's height the area asks for.
    int ShareLines() const;
    // The parent's height or the font changed: asks for the new share.
    void UpdateShare();
    // The scroll area shows whole lines of the area's height, and its
    // arrows step a line.
    void PlaceScrollArea();
    // Scrolls by whole lines for the wheel; the part of a line a turn left
    // over counts towards the next turn.
    void ScrollByWheel(const QWheelEvent& rEvent);
    // Moves a scroll position between lines (a dragged slider) onto the
    // nearest line.
    void SnapToLine(int value);
    void ShowTop();

    struct Work
    {
        CommandPtr mpCommand;
        QString mText;
        QString mServerUrl;
        QString mServerName;
        std::shared_ptr<const joxwsstreaming::DownloadProgress> mpProgress; // null when not counted
    };

    QScrollArea* mpScrollArea;
    WrapAnywhereLabel* mpLabel;
    // Refreshes the area while works run.
    QTimer* mpProgressTimer;
    QList<Work> mWorks;
    // The ended works' lines, the latest first.
    QStringList mEnds;
    QString mLeftServerUrl;
    QString mLeftNote;
    // The height sizeHint gave when the parent's height or the font last
    // changed.
    int mShareHeight = 0;
    // The wheel's turn not yet scrolled, in 1/120 notches times the lines
    // a notch scrolls.
    int mWheelRemainder = 0;
};

} // namespace joxmaintenance
