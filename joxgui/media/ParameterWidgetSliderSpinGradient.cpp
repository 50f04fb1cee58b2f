#include <joxgui/ParameterWidgetSliderSpinGradient.h>

#include <joxgui/SliderWidget.h>

namespace JoxGui {

ParameterWidgetSliderSpinGradient::ParameterWidgetSliderSpinGradient(JoxRaw::Pid pid,
                                                               JoxRaw::ParameterInterface* pParameter,
                                                               QWidget* pParent)
    : ParameterWidgetSliderSpin(pid, pParameter, pParent)
{
    mpSlider->setProperty("sliderGradientStartColor", SliderWidget::ColorAccent);
    mpSlider->setProperty("sliderGradientEndColor", SliderWidget::ColorWhite);
    mpSlider->setProperty("sliderColorTop", SliderWidget::ColorAccent);
}

} // namespace JoxGui
