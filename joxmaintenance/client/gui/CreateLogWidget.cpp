#include <gui/CreateLogWidget.h>

#include <gui/LogEntryWidget.h>

#include <joxgui/Messagebox.h>
#include <joxmaintenance/LogSources.h>
#include <styles/StyleMetrics.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace joxmaintenance {

QString SourceGroupName(const std::string& rSourceName)
{
    if (rSourceName.find("harlenchannel") != std::string::npos || rSourceName.find("harlenws") != std::string::npos)
        return QStringLiteral("HARLEN");
    if (rSourceName == "quorelwebservicelogs" || rSourceName == "quorelagentlogs" || rSourceName == "quorelagentfiles")
        return QStringLiteral("Quorel");
    return QStringLiteral("System");
}

CreateLogWidget::CreateLogWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpStartEdit(new QDateTimeEdit(this))
    , mpEndEdit(new QDateTimeEdit(this))
    , mpAllTimes(new QCheckBox(this))
    , mpGroupRow(new QHBoxLayout())
    , mpNoSourcesLabel(new QLabel(QStringLiteral("The server offers no log sources: there is nothing to gather."), this))
{
    QVBoxLayout* pLayout = new QVBoxLayout(this);

    for (QDateTimeEdit* pEdit : {mpStartEdit, mpEndEdit})
    {
        pEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd hh:mm"));
        pEdit->setFixedWidth(180);
        connect(pEdit, &QDateTimeEdit::dateTimeChanged, this, &CreateLogWidget::SlotTimeEditChanged);
    }
    mpAllTimes->setChecked(true);
    connect(mpAllTimes, &QCheckBox::stateChanged, this, &CreateLogWidget::SlotGatherAllToggled);

    QGroupBox* pTimeBox = new QGroupBox(QStringLiteral("Log time"), this);
    pTimeBox->setFixedHeight(80);
    QHBoxLayout* pTimeRow = new QHBoxLayout(pTimeBox);
    pTimeRow->addWidget(new QLabel(QStringLiteral("Start:"), pTimeBox));
    pTimeRow->addWidget(mpStartEdit);
    pTimeRow->addSpacing(20);
    pTimeRow->addWidget(new QLabel(QStringLiteral("End:"), pTimeBox));
    pTimeRow->addWidget(mpEndEdit);
    pTimeRow->addSpacing(20);
    pTimeRow->addWidget(mpAllTimes);
    pTimeRow->addWidget(new QLabel(QStringLiteral("All times"), pTimeBox));
    pTimeRow->addStretch();

    QPushButton* pSaveAs = new QPushButton(QStringLiteral("Save as"), this);
    pSaveAs->setFixedSize(UnitsWidth(3), StyleMetric(3));
    pSaveAs->setToolTip(
        QStringLiteral("Create a new log collection on the server and streams the collection into the chosen folder."));
    connect(pSaveAs, &QPushButton::clicked, this, &CreateLogWidget::SlotSaveAsClicked);
    QHBoxLayout* pButtonRow = new QHBoxLayout();
    pButtonRow->addStretch();
    pButtonRow->addWidget(pSaveAs);

    pLayout->addWidget(pTimeBox);
    pLayout->addLayout(mpGroupRow);
    // Shown once a server's list of sources arrived empty.
    mpNoSourcesLabel->setObjectName(QStringLiteral("NoSourcesLabel"));
    mpNoSourcesLabel->hide();
    pLayout->addWidget(mpNoSourcesLabel);
    pLayout->addLayout(pButtonRow);
    pLayout->addStretch();

    ShowTimeRange();
}

void CreateLogWidget::SetLogEntries(const LogEntryList& rEntries)
{
    QSet<QString> usedGroups;
    QList<LogEntryWidget*> widgets;
    for (const LogEntry& rEntry : rEntries)
    {
        const QString title = SourceGroupName(rEntry.GetType());
        auto group = mGroups.find(title);
        if (group == mGroups.end())
        {
            QGroupBox* pBox = new QGroupBox(title, this);
            pBox->setMinimumWidth(220);
            QVBoxLayout* pBoxLayout = new QVBoxLayout(pBox);
            pBoxLayout->addStretch();
            group = mGroups.insert(title, qMakePair(pBox, pBoxLayout));
            mpGroupRow->addWidget(pBox);
        }
        usedGroups.insert(title);

        // One box per source name: display texts may repeat across and
        // within groups.
        LogEntryWidget* pWidget = FindEntryWidget(widgets, rEntry.GetType());
        if (!pWidget)
            pWidget = FindEntryWidget(mEntryWidgets, rEntry.GetType());
        if (pWidget)
        {
            pWidget->SetLogEntry(rEntry);
        }
        else
        {
            pWidget = CreateLogEntryWidget(rEntry, group->first);
            group->second->insertWidget(group->second->count() - 1, pWidget);
        }
        // A source listed twice is shown and sent once.
        if (!widgets.contains(pWidget))
            widgets.append(pWidget);
    }

    for (LogEntryWidget* pOld : mEntryWidgets)
    {
        if (!widgets.contains(pOld))
            delete pOld;
    }
    mEntryWidgets = widgets;
    mpNoSourcesLabel->setVisible(mEntryWidgets.isEmpty());

    for (auto group = mGroups.begin(); group != mGroups.end();)
    {
        if (usedGroups.contains(group.key()))
        {
            ++group;
            continue;
        }
        delete group->first;
        group = mGroups.erase(group);
    }

    UpdateTimeRange();
}

LogEntryWidget* CreateLogWidget::FindEntryWidget(const QList<LogEntryWidget*>& rWidgets, const std::string& rSourceName)
{
    for (LogEntryWidget* pWidget : rWidgets)
    {
        if (pWidget->GetLogEntry().GetType() == rSourceName)
            return pWidget;
    }
    return nullptr;
}

void CreateLogWidget::UpdateTimeRange()
{
    mEarliest = QDateTime();
    mLatest = QDateTime();
    for (const LogEntryWidget* pWidget : mEntryWidgets)
    {
        const LogEntry& rEntry = pWidget->GetLogEntry();
        if (rEntry.GetStartTime().empty() || rEntry.GetDurationSeconds() <= 0)
            continue;
        const QDateTime start = QDateTime::fromString(QString::fromStdString(rEntry.GetStartTime()), Qt::ISODate);
        if (!start.isValid())
            continue;
        const QDateTime end = start.addSecs(rEntry.GetDurationSeconds());
        if (mEarliest.isNull() || start < mEarliest)
            mEarliest = start;
        if (mLatest.isNull() || end > mLatest)
            mLatest = end;
    }
    if (mpAllTimes->isChecked())
        ShowTimeRange();
}

bool CreateLogWidget::HasTimeRange() const
{
    return mEarliest.isValid() && mLatest.isValid();
}

void CreateLogWidget::ShowTimeRange()
{
    // Without a known range the edits keep what they show.
    if (!HasTimeRange())
        return;
    mpStartEdit->setDateTime(mEarliest);
    mpEndEdit->setDateTime(mLatest);
}

void CreateLogWidget::SlotGatherAllToggled(int state)
{
    if (state == Qt::Checked)
        ShowTimeRange();
}

void CreateLogWidget::SlotTimeEditChanged(const QDateTime&)
{
    if (!HasTimeRange())
        return;
    const bool all = !(mpStartEdit->dateTime() > mEarliest) && !(mpEndEdit->dateTime() < mLatest);
    const bool blocked = mpAllTimes->blockSignals(true);
    mpAllTimes->setChecked(all);
    mpAllTimes->blockSignals(blocked);
}

void CreateLogWidget::SlotSaveAsClicked()
{
    if (!mGroups.isEmpty() && !mEntryWidgets.isEmpty())
    {
        // Without a ticked source the server would build an empty collection.
        const bool anyChecked = std::any_of(mEntryWidgets.cbegin(), mEntryWidgets.cend(),
                                            [](const LogEntryWidget* pWidget) { return pWidget->IsChecked(); });
        if (!anyChecked)
        {
            JoxGui::Messagebox::Information(this, QStringLiteral("No log source chosen"),
                                            QStringLiteral("Please tick at least one log source to gather."),
                                            QStringLiteral("OK"));
            return;
        }
        if (CorrectTimeSpan())
        {
            JoxGui::Messagebox::Information(this, QStringLiteral("Log times corrected"),
                                            QStringLiteral("The selected time span was out of range and has been adjusted."),
                                            QStringLiteral("OK"));
        }
        emit SignalGather();
        return;
    }
    JoxGui::Messagebox::Information(this, QStringLiteral("No server or no logs found"),
                                    QStringLiteral("Please select a server and wanted log sources to gather logs."),
                                    QStringLiteral("OK"));
}

bool CreateLogWidget::CorrectTimeSpan()
{
    bool changed = false;
    QDateTime start = mpStartEdit->dateTime();
    QDateTime end = mpEndEdit->dateTime();
    if (end < start)
    {
        mpStartEdit->setDateTime(end);
        mpEndEdit->setDateTime(start);
        start = mpStartEdit->dateTime();
        end = mpEndEdit->dateTime();
        changed = true;
    }
    // Without a known range there is nothing to clamp against.
    if (!HasTimeRange())
        return changed;
    if (start < mEarliest)
    {
        mpStartEdit->setDateTime(mEarliest);
        changed = true;
    }
    else if (start > mLatest)
    {
        mpStartEdit->setDateTime(mLatest);
        changed = true;
    }
    if (end < mEarliest)
    {
        mpEndEdit->setDateTime(mEarliest);
        changed = true;
    }
    else if (end > mLatest)
    {
        mpEndEdit->setDateTime(mLatest);
        changed = true;
    }
    return changed;
}

QDateTime CreateLogWidget::SpanStart() const
{
    return qMin(mpStartEdit->dateTime(), mpEndEdit->dateTime());
}

LogEntryList CreateLogWidget::GetLogEntryList() const
{
    const QDateTime start = SpanStart();
    const QDateTime end = qMax(mpStartEdit->dateTime(), mpEndEdit->dateTime());
    const std::string startText = start.toString(Qt::ISODate).toStdString();
    const int duration = static_cast<int>(start.secsTo(end));
    LogEntryList entries;
    for (const LogEntryWidget* pWidget : mEntryWidgets)
    {
        if (pWidget->IsChecked())
            entries.emplace_back(pWidget->GetLogEntry().GetType(), startText, duration);
    }
    return entries;
}

} // namespace joxmaintenance
