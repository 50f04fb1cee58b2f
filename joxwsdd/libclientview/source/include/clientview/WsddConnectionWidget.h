#pragma once

#include <joxgui/PinContainerWidget.h>
#include <joxwsdd/WebServiceInfo.h>

#include <QList>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace JoxWsdd {

class ConnectionModel;
class WsddConnectionProxyModel;
class WsddConnectionView;

// The "Servers" panel: the list of discovered services over the connection
// model, a foldable options area (sort order, descending, grouping, details,
// the filter and address dialogs, refresh) and a message line for a
// discovery error, which disables the list and its options until the next
// refresh starts; the header, refresh and the dialogs' buttons stay usable.
// It passes the view's
// selection on and turns changes of MOS services into signals of its own.
class WsddConnectionWidget : public JoxGui::PinContainerWidget
{
    Q_OBJECT

public:
    // The entry type ("MACHINE" or "CHANNEL") picks the filter dialog; the
    // configuration name is the group suffix of the filter settings.
    WsddConnectionWidget(const QStringList& rLocalAddresses, const QString& rTitle, QWidget* pParent,
                         const QString& rEntryType, const QString& rConfigurationName);
    ~WsddConnectionWidget() override;

    // Shows the model (not owned) through a new proxy, applies the model's
    // grouping, sorts by URL and refreshes discovery; nothing for null.
    void SetModel(ConnectionModel* pModel, int selectionMode, bool clearOnEmptyClick);

    WsddConnectionView* GetView() const { return mpView; }
    WsddConnectionProxyModel* GetProxy() const { return mpProxy; }

signals:
    void SignalStartConnectionDrag();
    void SignalEndConnectionDrag();
    void SignalSelectionChanged(QList<JoxWsdd::WebServiceInfoPtr> services);
    // The services last passed on are no longer listed; no row is
    // highlighted (WsddConnectionView::SignalSelectionLeft).
    void SignalSelectionLeft();
    // A MOS service went from active to free; its URL.
    void SignalMosStopped(QString url);
    void SignalGroupDissolved(QString url);
    void SignalServiceGrouped(QString url);
    // The member addresses of a MOS group whose size changed.
    void SignalGroupCompositionChanged(QStringList members);
    void SignalServiceAdded(JoxWsdd::WebServiceInfo entry);
    void SignalServiceRemoved(JoxWsdd::WebServiceInfo entry);

private slots:
    void SlotFilterChanged();
    void SlotFoldClicked(bool unfolded);
    void SlotRefreshClicked();
    void ShowIpConfigDialog();
    void ShowFilterConfigDialog();
    void SlotServiceChanged(JoxWsdd::WebServiceInfo previous, JoxWsdd::WebServiceInfo current);
    void SlotServiceAdded(JoxWsdd::WebServiceInfo entry);
    void SlotServiceRemoved(JoxWsdd::WebServiceInfo entry);
    void SlotError(QString text);
    // Clears the error line and enables the list again.
    void SlotRefreshStarted();

private:
    void SetListEnabled(bool enabled);

    ConnectionModel* mpModel;
    WsddConnectionProxyModel* mpProxy;
    WsddConnectionView* mpView;
    QLabel* mpMessageLabel;
    QComboBox* mpSortBox;
    QWidget* mpOptionsArea;
    QCheckBox* mpDescending;
    QCheckBox* mpShowAll;
    QCheckBox* mpGrouping;
    QCheckBox* mpDetails;
    QPushButton* mpRefreshButton;
    QPushButton* mpConfigurationButton;
    QPushButton* mpFilterButton;
    QStringList mLocalAddresses;
    QString mEntryType;
    QString mConfigurationName;
};

} // namespace JoxWsdd
