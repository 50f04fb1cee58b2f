#include <joxgui/ServiceList.h>

#include <styles/StylePalette.h>

#include <QHeaderView>
#include <QIcon>
#include <QMenu>

namespace JoxGui {

namespace {

bool KeyOf(const QTreeWidgetItem* pItem, QString* pFirst, QString* pSecond)
{
    const QVariant first = pItem->data(0, ServiceList::FirstPartRole);
    const QVariant second = pItem->data(0, ServiceList::SecondPartRole);
    if (first.isValid() && second.isValid()) {
        *pFirst = first.toString();
        *pSecond = second.toString();
        return true;
    }
    // An item without key parts: its text must split into exactly two.
    const QStringList parts = pItem->text(0).split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    *pFirst = parts[0];
    *pSecond = parts[1];
    return true;
}

} // namespace

ServiceList::ServiceList(QWidget* pParent)
    : QTreeWidget(pParent)
{
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Service")});
    setRootIsDecorated(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &ServiceList::SlotContextMenu);
}

QTreeWidgetItem* ServiceList::AddService(const QString& rFirst, const QString& rSecond)
{
    auto* pItem = new QTreeWidgetItem(this, {rFirst + QLatin1Char(':') + rSecond});
    pItem->setData(0, FirstPartRole, rFirst);
    pItem->setData(0, SecondPartRole, rSecond);
    pItem->setIcon(0, QIcon(QStringLiteral(":/GuiIcons/service_unknown.png")));
    pItem->setForeground(0, StylePalette::ColorGrey);
    return pItem;
}

void ServiceList::RemoveService(const QString& rFirst, const QString& rSecond)
{
    qDeleteAll(FindServices(rFirst, rSecond));
}

QList<QTreeWidgetItem*> ServiceList::FindServices(const QString& rFirst, const QString& rSecond) const
{
    QList<QTreeWidgetItem*> found;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* pItem = topLevelItem(i);
        QString first;
        QString second;
        if (KeyOf(pItem, &first, &second) && first == rFirst && second == rSecond)
            found.append(pItem);
    }
    return found;
}

void ServiceList::SlotServiceStatus(const QString& rFirst, const QString& rSecond,
                                    ServiceList::ServiceStatus state)
{
    QString icon = QStringLiteral(":/GuiIcons/service_unknown.png");
    QColor color = StylePalette::ColorGrey;
    switch (state) {
    case StatusStopped:
        icon = QStringLiteral(":/GuiIcons/service_stopped.png");
        break;
    case StatusRunning:
        icon = QStringLiteral(":/GuiIcons/service_unlocked.png");
        color = StylePalette::ColorAccent;
        break;
    case StatusLocked:
        icon = QStringLiteral(":/GuiIcons/service_locked.png");
        color = StylePalette::ColorAccent;
        break;
    default:
        break;
    }
    for (QTreeWidgetItem* pItem : FindServices(rFirst, rSecond)) {
        pItem->setIcon(0, QIcon(icon));
        pItem->setForeground(0, color);
        pItem->setData(0, Qt::UserRole, static_cast<int>(state));
    }
}

void ServiceList::SlotContextMenu(const QPoint& rPosition)
{
    QTreeWidgetItem* pItem = itemAt(rPosition);
    if (pItem == nullptr)
        return;
    // Everything the menu needs of the item is read now: the service may
    // leave while the menu runs.
    QString first;
    QString second;
    const bool keyed = KeyOf(pItem, &first, &second);
    int state = pItem->data(0, Qt::UserRole).toInt();
    if (state < StatusNone || state > StatusLocked)
        state = StatusNone; // not reported
    pItem = nullptr;

    QMenu menu;
    menu.setStyleSheet(QStringLiteral("QMenu::item:selected { background-color: #0093DD; }"));
    auto add = [&](const QString& rText, ServiceCommand command) {
        menu.addAction(rText)->setData(static_cast<int>(command));
    };
    switch (state) {
    case StatusNone:
    case StatusStopped:
        add(tr("Start"), CommandStart);
        add(tr("Clear"), CommandClear);
        break;
    case StatusRunning:
        add(tr("Stop"), CommandStop);
        add(tr("Lock"), CommandLock);
        break;
    case StatusLocked:
        add(tr("Unlock"), CommandUnlock);
        break;
    default:
        break;
    }
    QAction* pChosen = menu.exec(viewport()->mapToGlobal(rPosition));
    if (pChosen != nullptr && keyed)
        emit SignalServiceCommand(first, second, static_cast<ServiceCommand>(pChosen->data().toInt()));
}

} // namespace JoxGui
