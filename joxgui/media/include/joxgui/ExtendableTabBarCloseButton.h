#pragma once

#include <QPointer>
#include <QToolButton>

namespace JoxGui {
namespace CustomWidgets {

// The close button of one tab; it knows the page it closes.
class ExtendableTabBarCloseButton : public QToolButton
{
    Q_OBJECT

public:
    ExtendableTabBarCloseButton(QWidget* pPage, QWidget* pParent = nullptr);

    QWidget* GetPage() const;

private:
    QPointer<QWidget> mpPage;
};

} // namespace CustomWidgets
} // namespace JoxGui
