#include <joxgui/ParameterWidgetSliderSpinMonochrome.h>

#include <joxgui/SliderWidget.h>

namespace JoxGui {

ParameterWidgetSliderSpinMonochrome::ParameterWidgetSliderSpinMonochrome(JoxRaw::Pid pid,
                                                               JoxRaw::ParameterInterface* pParameter,
                                                               QWidget* pParent)
    : ParameterWidgetSliderSpin(pid, pParameter, pParent)
{
    mpSlider->setProperty("sliderColorTop", SliderWidget::ColorWhite);
    mpSlider->setProperty("sliderColorBottom", SliderWidget::ColorGrey);
}

} // namespace JoxGui
