#include <joxgui/ParameterWidgetSpin.h>

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace JoxGui {

ParameterWidgetSpin::ParameterWidgetSpin(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                         QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpSpinBox(new QDoubleSpinBox(this))
{
    mpSpinBox->setRange(-1e9, 1e9);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpSpinBox);
    connect(mpSpinBox, &QDoubleSpinBox::valueChanged, this, &ParameterWidgetSpin::ValueChangedBySpin);
    UpdateFromParameter();
}

QDoubleSpinBox* ParameterWidgetSpin::GetSpinBox() const
{
    return mpSpinBox;
}

void ParameterWidgetSpin::UpdateFromParameter()
{
    ParameterWidget::UpdateFromParameter();
    if (mpParameter == nullptr)
        return;
    const QSignalBlocker blocker(mpSpinBox);
    mpSpinBox->setValue(mpParameter->GetValue().toDouble());
}

void ParameterWidgetSpin::ValueChangedBySpin(double value)
{
    emit ValueChanged(mPid, value);
}

} // namespace JoxGui
