#pragma once

#include <QTreeWidget>

namespace JoxGui {

// A list of services, each named by two key parts (for example a machine
// and a service), showing each service's state by icon and colour and
// offering commands for it in a context menu.
class ServiceList : public QTreeWidget
{
    Q_OBJECT

public:
    // 1 stopped, 2 running (unlocked), 3 locked; any other: not reported.
    enum ServiceStatus { StatusNone = 0, StatusStopped = 1, StatusRunning = 2, StatusLocked = 3 };
    Q_ENUM(ServiceStatus)
    enum ServiceCommand { CommandStart = 0, CommandStop = 1, CommandLock = 2, CommandUnlock = 3, CommandClear = 4 };
    Q_ENUM(ServiceCommand)

    // Item data roles of column 0 besides the state (Qt::UserRole).
    enum { FirstPartRole = Qt::UserRole + 1, SecondPartRole = Qt::UserRole + 2 };

    explicit ServiceList(QWidget* pParent = nullptr);

    // Adds a service shown as "first:second" without a state; returns it.
    QTreeWidgetItem* AddService(const QString& rFirst, const QString& rSecond);
    // Removes the services with these key parts.
    void RemoveService(const QString& rFirst, const QString& rSecond);
    // The top-level items of a service.
    QList<QTreeWidgetItem*> FindServices(const QString& rFirst, const QString& rSecond) const;

signals:
    void SignalServiceCommand(const QString& rFirst, const QString& rSecond,
                              JoxGui::ServiceList::ServiceCommand command);

public slots:
    void SlotServiceStatus(const QString& rFirst, const QString& rSecond,
                           JoxGui::ServiceList::ServiceStatus state);

private slots:
    void SlotContextMenu(const QPoint& rPosition);
};

} // namespace JoxGui
