#pragma once

#include <joxwsdd/WebServiceInfo.h>

#include <QObject>
#include <QPointer>
#include <QString>

namespace JoxWsdd {

class ClientWebServiceRepository;
class ConnectionModel;

// The process-wide link between the program's repository and the servers
// list: it owns the one ConnectionModel, feeds the discovery filter settings
// into the repository and turns the repository's signals into model calls.
// GUI thread only.
class ConnectionController : public QObject
{
    Q_OBJECT

public:
    // Built on the first call, destroyed at process exit.
    static ConnectionController* Instance();

    ConnectionModel* GetModel() const { return mpModel; }
    // The group suffix under which the filter settings are read.
    void SetConfigurationName(const QString& rName) { mConfigurationName = rName; }
    const QString& GetConfigurationName() const { return mConfigurationName; }

    // Empties the model and hands the filter file's settings to the
    // repository; nothing without a repository.
    void ReloadSettings();
    // ReloadSettings, connects the repository (once per repository object)
    // and discovers again; SignalRefreshStarted first. Nothing without a
    // repository.
    void Refresh();

signals:
    // A refresh begins: an error shown from an earlier one is over; errors
    // of this one follow.
    void SignalRefreshStarted();

private slots:
    void SlotAddService(JoxWsdd::WebServiceInfoPtr pEntry);
    void SlotRemoveService(JoxWsdd::WebServiceInfoPtr pEntry);
    void SlotChanged(JoxWsdd::WebServiceInfoPtr pPrevious, JoxWsdd::WebServiceInfoPtr pEntry);
    void SlotError(QString text);

private:
    ConnectionController();
    ~ConnectionController() override;
    ConnectionController(const ConnectionController&) = delete;
    ConnectionController& operator=(const ConnectionController&) = delete;

    ConnectionModel* mpModel;
    // The repository whose signals are connected; a later repository object
    // (after the first one ended) is connected anew.
    QPointer<ClientWebServiceRepository> mpConnected;
    QString mConfigurationName;
};

} // namespace JoxWsdd
