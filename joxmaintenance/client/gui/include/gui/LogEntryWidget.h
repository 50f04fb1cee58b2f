#pragma once

#include <joxmaintenance/LogEntry.h>

#include <QWidget>

class QCheckBox;
class QGroupBox;

namespace joxmaintenance {

// A check box for one log source; its object name is the source's display
// text, by which the create page finds it again on the next refill.
class LogEntryWidget : public QWidget
{
    Q_OBJECT

public:
    LogEntryWidget(const LogEntry& rEntry, QWidget* pParent = nullptr);

    bool IsChecked() const;
    const LogEntry& GetLogEntry() const { return mEntry; }
    // Replaces the stored entry; the check mark stays.
    void SetLogEntry(const LogEntry& rEntry);

signals:
    void SignalActivated(bool checked);

private slots:
    void SlotParseCheckBoxState(int state);

private:
    QCheckBox* mpCheckBox;
    LogEntry mEntry;
};

// A new widget for the entry inside the group box, with its tool tip.
LogEntryWidget* CreateLogEntryWidget(const LogEntry& rEntry, QGroupBox* pGroupBox);
// The tool tip of the configuration-files source; other sources get none.
void SetSourceToolTip(LogEntryWidget* pWidget);

} // namespace joxmaintenance
