#pragma once

#include <joxgui/ParameterWidget.h>

class QDoubleSpinBox;

namespace JoxGui {

// A numeric parameter in a spin box.
class ParameterWidgetSpin : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetSpin(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent = nullptr);

    QDoubleSpinBox* GetSpinBox() const;
    void UpdateFromParameter() override;

private slots:
    void ValueChangedBySpin(double value);

private:
    QDoubleSpinBox* mpSpinBox;
};

} // namespace JoxGui
