#pragma once

#include <joxgui/MeskTypes.h>
#include <joxgui/ParameterWidget.h>

class QDoubleSpinBox;

namespace JoxGui {

class SliderWidget;

// A numeric parameter with a slider (in hundredths) and a spin box kept in
// step; the spin box reports its value when its editing is finished, and
// only when it was edited since the parameter was last shown or reported.
class ParameterWidgetSliderSpin : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetSliderSpin(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                              QWidget* pParent = nullptr);

    SliderWidget* GetSlider() const;
    QDoubleSpinBox* GetSpinBox() const;
    void UpdateFromParameter() override;

private slots:
    void ValueChangedBySlider(MESK_QUAD value);
    void ValueChangedBySpin(double value);
    void SpinEditingFinished();

protected:
    SliderWidget* mpSlider;
    QDoubleSpinBox* mpSpinBox;

private:
    bool mSpinEdited = false;
};

} // namespace JoxGui
