#pragma once

#include <joxgui/ParameterWidgetSliderSpin.h>

namespace JoxGui {

// A slider-and-spin parameter whose slider fills in one grey.
class ParameterWidgetSliderSpinMonochrome : public ParameterWidgetSliderSpin
{
    Q_OBJECT

public:
    ParameterWidgetSliderSpinMonochrome(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                   QWidget* pParent = nullptr);
};

} // namespace JoxGui
