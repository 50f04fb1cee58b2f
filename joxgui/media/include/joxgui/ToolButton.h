#pragma once

#include <QToolButton>

namespace JoxGui {

// A tool button whose click opens its menu, at least as wide as the button.
class ToolButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ToolButton(QWidget* pParent = nullptr);

signals:
    // Emitted before the menu shows, so listeners can fill it.
    void SignalAboutToShowMenu();

private slots:
    void SlotAboutToShow();
};

} // namespace JoxGui
