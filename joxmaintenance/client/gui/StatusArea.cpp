#include <gui/StatusArea.h>

#include <gui/WrapAnywhereLabel.h>

#include <joxlog/JoxLog.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxwsstreaming/DownloadProgress.h>

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace joxmaintenance {

namespace {

// How many ended works stay readable.
constexpr int kKeptEnds = 5;
// The fewest lines the area shows, and the part of its parent's height it
// asks for beyond them.
constexpr int kLeastLines = 3;
constexpr int kShareOfParent = 4;
// The wheel's angle of one notch, in eighths of a degree.
constexpr int kNotch = 120;

// How far a gather or download has come: nothing before its first byte,
// then the bytes received and, when the size is known, the share done.
QString ProgressText(const std::shared_ptr<const joxwsstreaming::DownloadProgress>& rpProgress)
{
    if (!rpProgress)
        return QString();
    const std::uint64_t received = rpProgress->GetReceived();
    const std::int64_t total = rpProgress->GetTotal();
    if (received == 0 && total < 0)
        return QString();
    const QLocale locale = QLocale::c();
    const QString done = locale.formattedDataSize(static_cast<qint64>(received));
    if (total <= 0)
        return QStringLiteral(" %1 received").arg(done);
    const auto percent = static_cast<int>(std::min(100.0, 100.0 * static_cast<double>(received) / static_cast<double>(total)));
    return QStringLiteral(" %1 of %2 received (%3 %)").arg(done, locale.formattedDataSize(total)).arg(percent);
}

// The progress of a gather or download; null for other commands.
std::shared_ptr<const joxwsstreaming::DownloadProgress> ProgressOf(const Command& rCommand)
{
    if (const auto* pFetch = dynamic_cast<const CommandLogFetch*>(&rCommand))
        return pFetch->GetProgress();
    if (const auto* pGather = dynamic_cast<const CommandLogGather*>(&rCommand))
        return pGather->GetProgress();
    return nullptr;
}

// The file a gather or download saved; empty for other commands.
QString SavedFileOf(const Command& rCommand)
{
    if (const auto* pFetch = dynamic_cast<const CommandLogFetch*>(&rCommand))
        return pFetch->GetSavedFile();
    if (const auto* pGather = dynamic_cast<const CommandLogGather*>(&rCommand))
        return pGather->GetSavedFile();
    return QString();
}

} // namespace

StatusArea::StatusArea(QWidget* pParent)
    : QWidget(pParent)
    , mpScrollArea(new QScrollArea(this))
    , mpLabel(new WrapAnywhereLabel())
    , mpProgressTimer(new QTimer(this))
{
    // At most its share: the pages beside it take the rest, and may take
    // the share down to three lines.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    mpLabel->setObjectName(QStringLiteral("ActivityLabel"));
    mpLabel->setContentsMargins(5, 0, 0, 0);
    mpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label is as high as its wrapped text, and never wider than the
    // area, even for a long path; the area scrolls over it.
    mpScrollArea->setObjectName(QStringLiteral("ActivityArea"));
    mpScrollArea->setFrameShape(QFrame::NoFrame);
    mpScrollArea->setWidgetResizable(true);
    mpScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mpScrollArea->setWidget(mpLabel);
    // The style sets the font when it polishes the label; the share follows
    // the parent's height.
    mpLabel->installEventFilter(this);
    mpScrollArea->viewport()->installEventFilter(this);
    mpScrollArea->verticalScrollBar()->installEventFilter(this);
    if (pParent)
        pParent->installEventFilter(this);
    connect(mpScrollArea->verticalScrollBar(), &QScrollBar::valueChanged, this, &StatusArea::SnapToLine);
    mShareHeight = LinesHeight(ShareLines());
    PlaceScrollArea();
    // While works run, the line shows how far they are, once a second.
    mpProgressTimer->setInterval(1000);
    connect(mpProgressTimer, &QTimer::timeout, this, [this] { mpLabel->setText(Text()); });
}

void StatusArea::AddWork(const CommandPtr& rCommand, const QString& rText, const QString& rServerUrl,
                         const QString& rServerName)
{
    if (!rCommand)
        return;
    mWorks.append(Work{rCommand, rText, rServerUrl, rServerName, ProgressOf(*rCommand)});
    Refresh();
    // The new work is the first line.
    ShowTop();
}

bool StatusArea::EndWork(const CommandPtr& rCommand)
{
    const auto work = std::find_if(mWorks.begin(), mWorks.end(),
                                   [&rCommand](const Work& rWork) { return rWork.mpCommand == rCommand; });
    if (!rCommand || work == mWorks.end())
        return false;
    const QString text = work->mText;
    mWorks.erase(work);
    if (rCommand->GetState() == JoxCore::StateSucceeded)
    {
        ShowEnd(QStringLiteral("Done: %1; saved as \"%2\".").arg(text, SavedFileOf(*rCommand)));
    }
    else
    {
        // The reason in one line; its box has the rest.
        QString reason = rCommand->GetFailureReason().simplified();
        if (reason.isEmpty())
            reason = QStringLiteral("No details; the program's log has more.");
        ShowEnd(QStringLiteral("Failed: %1: %2").arg(text, reason));
    }
    // Its end is the first line below the works still running.
    ShowTop();
    return true;
}

CommandPtr StatusArea::FindWork(int commandType, const QString& rServerUrl, const QString& rName) const
{
    for (const Work& rWork : mWorks)
    {
        if (rWork.mpCommand->GetCommandType() != commandType || rWork.mServerUrl != rServerUrl)
            continue;
        const auto* pFetch = dynamic_cast<const CommandLogFetch*>(rWork.mpCommand.get());
        if (rName.isEmpty() || (pFetch && pFetch->GetCollectionName() == rName))
            return rWork.mpCommand;
    }
    return CommandPtr();
}

void StatusArea::ShowEnd(const QString& rEnd)
{
    mEnds.prepend(rEnd);
    while (mEnds.size() > kKeptEnds)
        mEnds.removeLast();
    Refresh();
}

void StatusArea::ShowServerLeft(const QString& rServerUrl, const QString& rNote)
{
    mLeftServerUrl = rServerUrl;
    mLeftNote = rNote;
    Refresh();
}

void StatusArea::ServerAnswered(const QString& rServerUrl)
{
    if (mLeftNote.isEmpty() || rServerUrl != mLeftServerUrl)
        return;
    mLeftServerUrl.clear();
    mLeftNote.clear();
    Refresh();
}

QString StatusArea::LeftNote(const QString& rServerUrl) const
{
    return rServerUrl == mLeftServerUrl ? mLeftNote : QString();
}

QString StatusArea::Text() const
{
    QStringList lines;
    for (auto work = mWorks.crbegin(); work != mWorks.crend(); ++work)
        lines.append(QStringLiteral("Running: %1 ...%2").arg(work->mText, ProgressText(work->mpProgress)));
    if (!mLeftNote.isEmpty())
        lines.append(mLeftNote);
    lines.append(mEnds);
    return lines.join(QLatin1Char('\n'));
}

QSize StatusArea::sizeHint() const
{
    return QSize(mpScrollArea->sizeHint().width(), LinesHeight(ShareLines()));
}

QSize StatusArea::minimumSizeHint() const
{
    return QSize(mpScrollArea->minimumSizeHint().width(), LinesHeight(kLeastLines));
}

bool StatusArea::event(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    const bool handled = QWidget::event(pEvent);
    if (pEvent->type() == QEvent::ParentChange)
    {
        if (parentWidget())
            parentWidget()->installEventFilter(this);
        UpdateShare();
    }
    return handled;
}

bool StatusArea::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == mpLabel && pEvent->type() == QEvent::FontChange)
    {
        UpdateShare();
        PlaceScrollArea();
    }
    else if (pWatched == parentWidget() && pEvent->type() == QEvent::Resize)
    {
        UpdateShare();
    }
    else if ((pWatched == mpScrollArea->viewport() || pWatched == mpScrollArea->verticalScrollBar()) &&
             pEvent->type() == QEvent::Wheel)
    {
        ScrollByWheel(*static_cast<QWheelEvent*>(pEvent));
        return true;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

void StatusArea::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    PlaceScrollArea();
}

int StatusArea::LineSpacing() const
{
    return mpLabel->LineHeight();
}

int StatusArea::LinesHeight(int lines) const
{
    return lines * LineSpacing() + 2 * mpScrollArea->frameWidth();
}

int StatusArea::ShareLines() const
{
    const QWidget* pParent = parentWidget();
    if (!pParent)
        return kLeastLines;
    const int share = pParent->height() / kShareOfParent - 2 * mpScrollArea->frameWidth();
    return std::max(kLeastLines, share / LineSpacing());
}

void StatusArea::UpdateShare()
{
    const int height = LinesHeight(ShareLines());
    if (height == mShareHeight)
        return;
    mShareHeight = height;
    updateGeometry();
}

void StatusArea::PlaceScrollArea()
{
    // A part of a line below the last whole one stays empty: a scroll
    // position on a line boundary then shows no cut line.
    const int frame = 2 * mpScrollArea->frameWidth();
    const int lines = std::max(1, (height() - frame) / LineSpacing());
    mpScrollArea->setGeometry(0, 0, width(), lines * LineSpacing() + frame);
    mpScrollArea->verticalScrollBar()->setSingleStep(LineSpacing());
}

void StatusArea::ScrollByWheel(const QWheelEvent& rEvent)
{
    const int delta = rEvent.angleDelta().y();
    if (delta == 0)
        return;
    if ((delta < 0) != (mWheelRemainder < 0))
        mWheelRemainder = 0;
    mWheelRemainder += delta * std::max(1, QApplication::wheelScrollLines());
    int lines = mWheelRemainder / kNotch;
    mWheelRemainder -= lines * kNotch;
    // Never more than the lines shown at once.
    QScrollBar* pBar = mpScrollArea->verticalScrollBar();
    const int shown = std::max(1, mpScrollArea->viewport()->height() / LineSpacing());
    lines = std::clamp(lines, -shown, shown);
    pBar->setValue(pBar->value() - lines * LineSpacing());
}

void StatusArea::SnapToLine(int value)
{
    QScrollBar* pBar = mpScrollArea->verticalScrollBar();
    const int line = LineSpacing();
    const int snapped = std::min((value + line / 2) / line, pBar->maximum() / line) * line;
    if (snapped != value)
        pBar->setValue(snapped);
}

void StatusArea::ShowTop()
{
    mWheelRemainder = 0;
    mpScrollArea->verticalScrollBar()->setValue(0);
}

void StatusArea::Refresh()
{
    if (mWorks.isEmpty())
        mpProgressTimer->stop();
    else if (!mpProgressTimer->isActive())
        mpProgressTimer->start();
    const QString text = Text();
    mpLabel->setText(text);
    if (text.isEmpty())
        return;
    // What the operator is shown, for the program's log.
    JoxCore::Log(5, 0, "Maintenance", (QStringLiteral("Status line: ") + text).toUtf8().constData(), __FILE__,
                 __LINE__, "joxmaintenance::StatusArea");
}

} // namespace joxmaintenance
