#pragma once

#include <joxmaintenance/LogEntry.h>

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QWidget>

#include <string>

class QCheckBox;
class QDateTimeEdit;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace joxmaintenance {

class LogEntryWidget;

// "HARLEN", "Quorel" or "System": the group a source is shown in.
QString SourceGroupName(const std::string& rSourceName);

// The "Create log package" page: the server's log sources as check boxes in
// titled groups, a time span with an all-times switch, and "Save as".
class CreateLogWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CreateLogWidget(QWidget* pParent = nullptr);

    // Shows a new list of sources; check marks of known sources survive. An
    // empty list is said to be one.
    void SetLogEntries(const LogEntryList& rEntries);
    // The checked sources with the chosen span.
    LogEntryList GetLogEntryList() const;
    // Recomputes the earliest and latest times of the shown sources.
    void UpdateTimeRange();
    // Swaps a reversed span and clamps it to the sources' range; true when
    // an edit changed.
    bool CorrectTimeSpan();
    // The earlier of the two edits.
    QDateTime SpanStart() const;

signals:
    // Gather the chosen logs into a folder.
    void SignalGather();
    // Create a collection without download; no control emits it.
    void SignalCreate();

private slots:
    void SlotTimeEditChanged(const QDateTime& rTime);
    void SlotSaveAsClicked();
    void SlotGatherAllToggled(int state);

private:
    // The box of the source name in the list, or null.
    static LogEntryWidget* FindEntryWidget(const QList<LogEntryWidget*>& rWidgets, const std::string& rSourceName);
    bool HasTimeRange() const;
    void ShowTimeRange();

    QDateTimeEdit* mpStartEdit;
    QDateTimeEdit* mpEndEdit;
    QCheckBox* mpAllTimes;
    QHBoxLayout* mpGroupRow;
    // Says that the server offers no sources.
    QLabel* mpNoSourcesLabel;
    QDateTime mEarliest;
    QDateTime mLatest;
    QList<LogEntryWidget*> mEntryWidgets;
    QMap<QString, QPair<QGroupBox*, QVBoxLayout*>> mGroups;
};

} // namespace joxmaintenance
