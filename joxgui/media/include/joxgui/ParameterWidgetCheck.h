#pragma once

#include <joxgui/ParameterWidget.h>

class QCheckBox;

namespace JoxGui {

// A parameter shown as a check box; its value is a bool.
class ParameterWidgetCheck : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetCheck(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent = nullptr);

    QCheckBox* GetCheckBox() const;
    void UpdateFromParameter() override;

private slots:
    void CheckStateChanged(int state);

private:
    QCheckBox* mpCheckBox;
};

} // namespace JoxGui
