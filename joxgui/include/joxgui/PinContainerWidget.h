#pragma once

#include <QTimer>
#include <QWidget>

class QPushButton;
class QVBoxLayout;

namespace JoxGui {

// Base of the foldable, pinnable side panels: a header with fold button,
// title and pin button over a column of content widgets. Pinned it keeps
// its width; unpinned it shrinks to a strip, opens while the mouse is over
// it and closes 500 ms after the mouse has left.
class PinContainerWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PinContainerWidget(const QString& rTitle, QWidget* pParent = nullptr);
    ~PinContainerWidget() override;

    // Appends a widget to the content column; null is ignored.
    virtual void AddWidget(QWidget* pWidget);
    // The panel collapses sideways (a side panel, the default).
    virtual void CollapseSideways();
    // The panel collapses upwards (a top panel).
    virtual void CollapseUpwards();

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

signals:
    // The fold button was clicked; subclasses fold their own content.
    void SignalFold(bool folded);
    void SignalPin(bool pinned);

private slots:
    // Applies the sizes of the pin button's state.
    void SlotPinned();

private:
    void ApplyOpenSizes();

    QTimer mCollapseTimer;
    QPushButton* mpPinButton = nullptr;
    QPushButton* mpFoldButton = nullptr;
    QVBoxLayout* mpOuterLayout = nullptr;
    QVBoxLayout* mpContentLayout = nullptr;
    bool mSideways = true;
};

} // namespace JoxGui
