#include <joxgui/ParameterWidgetSliderSpin.h>

#include <joxgui/SliderWidget.h>

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

#include <cmath>

namespace JoxGui {

ParameterWidgetSliderSpin::ParameterWidgetSliderSpin(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                                     QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpSlider(new SliderWidget(this))
    , mpSpinBox(new QDoubleSpinBox(this))
{
    mpSlider->SetMinimum(0);
    mpSlider->SetMaximum(10000);
    mpSpinBox->setRange(0.0, 100.0);
    mpSpinBox->setDecimals(2);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpSlider, 1);
    pLayout->addWidget(mpSpinBox);
    connect(mpSlider, qOverload<MESK_QUAD>(&SliderWidget::ValueChanged), this,
            &ParameterWidgetSliderSpin::ValueChangedBySlider);
    connect(mpSpinBox, &QDoubleSpinBox::valueChanged, this, &ParameterWidgetSliderSpin::ValueChangedBySpin);
    connect(mpSpinBox, &QDoubleSpinBox::editingFinished, this, &ParameterWidgetSliderSpin::SpinEditingFinished);
    UpdateFromParameter();
}

SliderWidget* ParameterWidgetSliderSpin::GetSlider() const
{
    return mpSlider;
}

QDoubleSpinBox* ParameterWidgetSliderSpin::GetSpinBox() const
{
    return mpSpinBox;
}

void ParameterWidgetSliderSpin::UpdateFromParameter()
{
    ParameterWidget::UpdateFromParameter();
    if (mpParameter == nullptr)
        return;
    const double value = mpParameter->GetValue().toDouble();
    // The spin box may show the value clamped: that is no edit.
    mSpinEdited = false;
    const QSignalBlocker spinBlocker(mpSpinBox);
    const QSignalBlocker sliderBlocker(mpSlider);
    mpSpinBox->setValue(value);
    mpSlider->SetValue(static_cast<int>(std::lround(mpSpinBox->value() * 100.0)));
}

void ParameterWidgetSliderSpin::ValueChangedBySlider(MESK_QUAD value)
{
    const double real = value / 100.0;
    {
        const QSignalBlocker blocker(mpSpinBox);
        mpSpinBox->setValue(real);
    }
    mSpinEdited = false;
    emit ValueChanged(mPid, real);
}

void ParameterWidgetSliderSpin::ValueChangedBySpin(double value)
{
    mSpinEdited = true;
    const QSignalBlocker blocker(mpSlider);
    mpSlider->SetValue(static_cast<int>(std::lround(value * 100.0)));
}

void ParameterWidgetSliderSpin::SpinEditingFinished()
{
    if (!mSpinEdited)
        return;
    mSpinEdited = false;
    emit ValueChanged(mPid, mpSpinBox->value());
}

} // namespace JoxGui
