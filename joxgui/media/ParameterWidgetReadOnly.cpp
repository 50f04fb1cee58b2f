#include <joxgui/ParameterWidgetReadOnly.h>

#include <QHBoxLayout>
#include <QLabel>

namespace JoxGui {

ParameterWidgetReadOnly::ParameterWidgetReadOnly(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                                 QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpLabel(new QLabel(this))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpLabel);
    UpdateFromParameter();
}

QLabel* ParameterWidgetReadOnly::GetLabel() const
{
    return mpLabel;
}

void ParameterWidgetReadOnly::UpdateFromParameter()
{
    if (mpParameter != nullptr)
        ShowFacadeVisibility(mpParameter->GetFacade().IsVisible());
    mpLabel->setText(mpParameter != nullptr ? mpParameter->ValueToText(mpParameter->GetValue()) : QString());
}

} // namespace JoxGui
