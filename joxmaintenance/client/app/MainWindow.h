#pragma once

#include <QMainWindow>
#include <QStringList>

namespace JoxWsdd {
class WsddConnectionWidget;
}

namespace joxmaintenance {

class WorkspaceWidget;

// The program's only window: the info panel, the workspace and the
// "Servers" panel side by side; the service selected in the panel decides
// the workspace's server. F11 toggles full screen.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The local addresses are those the discovery threads listen on.
    explicit MainWindow(const QStringList& rLocalAddresses, QWidget* pParent = nullptr);

    WorkspaceWidget* GetWorkspace() const { return mpWorkspace; }
    JoxWsdd::WsddConnectionWidget* GetServersPanel() const { return mpServersPanel; }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

private:
    JoxWsdd::WsddConnectionWidget* mpServersPanel;
    WorkspaceWidget* mpWorkspace;
};

} // namespace joxmaintenance
