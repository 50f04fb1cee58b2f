#pragma once

#include <QMap>
#include <QTabBar>

namespace JoxGui {

// A tab bar with a fixed or per-tab width (100 pixels otherwise) that
// reports right clicks on a tab.
class StylableTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit StylableTabBar(QWidget* pParent = nullptr);

    // Width of every tab; values of 0 or less switch back to the defaults.
    void SetFixedTabWidth(int width);

signals:
    // A context menu was asked for on tab index, at a global position.
    void ContextMenu(int index, QPoint globalPosition);

protected:
    QSize tabSizeHint(int index) const override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    int mFixedTabWidth = -1;
    QMap<int, int> mTabWidths;
};

} // namespace JoxGui
