#pragma once

#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QPushButton;

namespace JoxGui {

// Editor of an in point, an out point and a duration: each has a checkable
// button (checked while it is set) and a frame field.
class InOutEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit InOutEditWidget(QWidget* pParent = nullptr);

    QPushButton* GetInButton() const;
    QPushButton* GetOutButton() const;
    QPushButton* GetDurationButton() const;
    QLineEdit* GetInField() const;
    QLineEdit* GetOutField() const;
    QLineEdit* GetDurationField() const;

signals:
    void SignalFrameInChanged(long long frame);
    void SignalSetIn();
    void SignalGoIn();
    void SignalDeleteIn();
    void SignalFrameOutChanged(long long frame);
    void SignalSetOut();
    void SignalGoOut();
    void SignalDeleteOut();
    void SignalFrameDurationChanged(long long frame);
    void SignalDeleteDuration();

private slots:
    void SlotButtonInClicked();
    void SlotButtonOutClicked();
    void SlotButtonDurationClicked();
    void SlotButtonDeleteDurationClicked(bool enable);

private:
    bool WasChecked(QAbstractButton* pButton) const;
    void EmitFrame(QLineEdit* pField, void (InOutEditWidget::*pSignal)(long long));
    // An unchecked button sets its point (pSet); a checked one is unchecked
    // and deletes it (pDelete).
    void SetOrDelete(QPushButton* pButton, void (InOutEditWidget::*pSet)(), void (InOutEditWidget::*pDelete)());

    QPushButton* mpInButton;
    QPushButton* mpOutButton;
    QPushButton* mpDurationButton;
    QLineEdit* mpInField;
    QLineEdit* mpOutField;
    QLineEdit* mpDurationField;
};

} // namespace JoxGui
