#include <joxgui/ApplicationTab.h>

namespace JoxGui {

ApplicationTab::ApplicationTab(const QString& rText, QWidget* pParent)
    : PushButton(rText, pParent)
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
}

} // namespace JoxGui
