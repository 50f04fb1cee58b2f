#include <joxgui/ParameterWidgetCombo.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace JoxGui {

ParameterWidgetCombo::ParameterWidgetCombo(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                           QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpComboBox(new QComboBox(this))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpComboBox);
    connect(mpComboBox, &QComboBox::currentIndexChanged, this, &ParameterWidgetCombo::SelectionChanged);
}

QComboBox* ParameterWidgetCombo::GetComboBox() const
{
    return mpComboBox;
}

void ParameterWidgetCombo::UpdateFromParameter()
{
    ParameterWidget::UpdateFromParameter();
    if (mpParameter == nullptr)
        return;
    const QSignalBlocker blocker(mpComboBox);
    mpComboBox->setCurrentIndex(mpComboBox->findData(mpParameter->GetValue(), Qt::UserRole));
}

void ParameterWidgetCombo::SelectionChanged(int index)
{
    emit ValueChanged(mPid, mpComboBox->itemData(index, Qt::UserRole));
}

} // namespace JoxGui
