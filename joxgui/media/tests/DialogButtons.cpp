#include "DialogButtons.h"

#include <QDialog>
#include <QPushButton>

namespace joxguitest {

bool ClickDialogButton(QDialog* pDialog, QDialogButtonBox::StandardButton which)
{
    if (pDialog == nullptr)
        return false;
    for (auto* pBox : pDialog->findChildren<QDialogButtonBox*>()) {
        if (QPushButton* pButton = pBox->button(which)) {
            pButton->click();
            return true;
        }
    }
    return false;
}

} // namespace joxguitest
