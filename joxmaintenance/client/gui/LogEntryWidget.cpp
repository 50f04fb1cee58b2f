#include <gui/LogEntryWidget.h>

#include <joxmaintenance/LogSources.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>

namespace joxmaintenance {

LogEntryWidget::LogEntryWidget(const LogEntry& rEntry, QWidget* pParent)
    : QWidget(pParent)
    , mpCheckBox(nullptr)
    , mEntry(rEntry)
{
    const QString text = LogSourceDisplayName(rEntry.GetType());
    setObjectName(text);
    mpCheckBox = new QCheckBox(text, this);
    mpCheckBox->setChecked(true);
    connect(mpCheckBox, &QCheckBox::stateChanged, this, &LogEntryWidget::SlotParseCheckBoxState);
    QHBoxLayout* pLayout = new QHBoxLayout(this);
    pLayout->addWidget(mpCheckBox);
}

bool LogEntryWidget::IsChecked() const
{
    return mpCheckBox->isChecked();
}

void LogEntryWidget::SetLogEntry(const LogEntry& rEntry)
{
    mEntry = rEntry;
}

void LogEntryWidget::SlotParseCheckBoxState(int state)
{
    emit SignalActivated(state != Qt::Unchecked);
}

LogEntryWidget* CreateLogEntryWidget(const LogEntry& rEntry, QGroupBox* pGroupBox)
{
    LogEntryWidget* pWidget = new LogEntryWidget(rEntry, pGroupBox);
    SetSourceToolTip(pWidget);
    return pWidget;
}

void SetSourceToolTip(LogEntryWidget* pWidget)
{
    if (pWidget && pWidget->GetLogEntry().GetType() == "systemconfigurations")
        pWidget->setToolTip(QStringLiteral("Include all JOX specific configuration files on the target system."));
}

} // namespace joxmaintenance
