#pragma once

#include <joxcore/Message.h>

#include <QRect>
#include <QWidget>

class QLabel;
class QTimer;
class QToolButton;

namespace JoxGui {

class MessageLogDialog;

// A status strip that flashes the latest message for five seconds and
// opens the log of all messages from its log button.
class MessageBar : public QWidget
{
    Q_OBJECT

public:
    explicit MessageBar(QWidget* pParent = nullptr);

    QLabel* GetMessageLabel() const;
    QWidget* GetIdleWidget() const;
    QToolButton* GetLogButton() const;
    QTimer* GetHideTimer() const;
    MessageLogDialog* GetLogDialog() const;

public slots:
    void ShowMessage(const JoxCore::Message& rMessage);

private slots:
    void SlotShowMessageDialog();
    void SlotHideMessage();

private:
    void UpdateLogButton();

    QLabel* mpMessageLabel;
    QWidget* mpIdleWidget;
    QTimer* mpHideTimer;
    QToolButton* mpLogButton;
    MessageLogDialog* mpLogDialog;
    // Where the log dialog was last closed, shared by all bars.
    static QRect mpLogGeometry;
};

} // namespace JoxGui
