#pragma once

#include <joxgui/PushButton.h>

namespace JoxGui {

// A checkable tab button of the application bar.
class ApplicationTab : public PushButton
{
    Q_OBJECT

public:
    explicit ApplicationTab(const QString& rText = QString(), QWidget* pParent = nullptr);
};

} // namespace JoxGui
