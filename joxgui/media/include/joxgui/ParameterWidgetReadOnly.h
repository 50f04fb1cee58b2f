#pragma once

#include <joxgui/ParameterWidget.h>

class QLabel;

namespace JoxGui {

// A parameter shown as text only.
class ParameterWidgetReadOnly : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetReadOnly(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent = nullptr);

    QLabel* GetLabel() const;
    void UpdateFromParameter() override;

private:
    QLabel* mpLabel;
};

} // namespace JoxGui
