#include <joxgui/ParameterWidgetCheck.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace JoxGui {

ParameterWidgetCheck::ParameterWidgetCheck(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                           QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpCheckBox(new QCheckBox(this))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpCheckBox);
    connect(mpCheckBox, &QCheckBox::stateChanged, this, &ParameterWidgetCheck::CheckStateChanged);
    UpdateFromParameter();
}

QCheckBox* ParameterWidgetCheck::GetCheckBox() const
{
    return mpCheckBox;
}

void ParameterWidgetCheck::UpdateFromParameter()
{
    ParameterWidget::UpdateFromParameter();
    if (mpParameter == nullptr)
        return;
    const QSignalBlocker blocker(mpCheckBox);
    mpCheckBox->setChecked(mpParameter->GetValue().toBool());
}

void ParameterWidgetCheck::CheckStateChanged(int state)
{
    emit ValueChanged(mPid, state == Qt::Checked);
}

} // namespace JoxGui
