#pragma once

#include <QTabWidget>

namespace JoxGui {

class StylableTabBar;

// A tab widget on a StylableTabBar without base line; relays the bar's
// context-menu requests.
class StylableTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit StylableTabWidget(QWidget* pParent = nullptr);

    // Gives every tab the width; 0 or less changes nothing.
    void SetTabWidth(int width);

signals:
    void ContextMenu(int index, QPoint globalPosition);

private:
    StylableTabBar* mpTabBar;
};

} // namespace JoxGui
