#pragma once

#include <QDialogButtonBox>

class QDialog;

namespace joxguitest {

// Clicks the button of a standard role in the dialog's button box, as a user
// would; false when the dialog has no such button.
bool ClickDialogButton(QDialog* pDialog, QDialogButtonBox::StandardButton which);

} // namespace joxguitest
