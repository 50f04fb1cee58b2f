#pragma once

#include <joxgui/ParameterWidgetSliderSpin.h>

namespace JoxGui {

// A slider-and-spin parameter whose slider fills with a gradient.
class ParameterWidgetSliderSpinGradient : public ParameterWidgetSliderSpin
{
    Q_OBJECT

public:
    ParameterWidgetSliderSpinGradient(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                   QWidget* pParent = nullptr);
};

} // namespace JoxGui
