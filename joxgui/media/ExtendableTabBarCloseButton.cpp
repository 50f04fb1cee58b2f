#include <joxgui/ExtendableTabBarCloseButton.h>

namespace JoxGui {
namespace CustomWidgets {

ExtendableTabBarCloseButton::ExtendableTabBarCloseButton(QWidget* pPage, QWidget* pParent)
    : QToolButton(pParent)
    , mpPage(pPage)
{
    setText(QStringLiteral("x"));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(16, 16);
}

QWidget* ExtendableTabBarCloseButton::GetPage() const
{
    return mpPage;
}

} // namespace CustomWidgets
} // namespace JoxGui
