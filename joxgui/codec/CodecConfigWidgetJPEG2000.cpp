#include <joxgui/CodecConfigWidgetJPEG2000.h>

#include <joxgui/CodecWidgetHelpers.h>
#include <joxgui/WidgetHelpers.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <limits>

namespace JoxGui {

CodecConfigWidgetJPEG2000::CodecConfigWidgetJPEG2000(QWidget* pParent)
    : QWidget(pParent)
    , mpBitRateSpin(Named(new QSpinBox, "bitRateSpin"))
    , mpTransformCheck(Named(new QCheckBox(tr("Multi-component transform")), "transformCheck"))
    , mpLimitedButton(Named(new QRadioButton(tr("Constant bit rate")), "limitedButton"))
    , mpNoLimitButton(Named(new QRadioButton(tr("No limit")), "noLimitButton"))
    , mpLimitGroup(new QButtonGroup(this))
    , mpEditLagSpin(Named(new QSpinBox, "editLagSpin"))
{
    mpBitRateSpin->setRange(0, std::numeric_limits<int>::max());
    mpBitRateSpin->setSuffix(QStringLiteral(" Mbit/s"));
    mpEditLagSpin->setRange(0, 1000);
    for (QSpinBox* pSpin : {mpBitRateSpin, mpEditLagSpin})
        pSpin->setKeyboardTracking(false);
    mpLimitGroup->setExclusive(true);
    mpLimitGroup->addButton(mpLimitedButton);
    mpLimitGroup->addButton(mpNoLimitButton);

    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(QString(), mpLimitedButton);
    pLayout->addRow(tr("Bit rate"), mpBitRateSpin);
    pLayout->addRow(QString(), mpNoLimitButton);
    pLayout->addRow(QString(), mpTransformCheck);
    pLayout->addRow(tr("Edit lag"), mpEditLagSpin);

    connect(mpBitRateSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetJPEG2000::UpdateConfig);
    connect(mpTransformCheck, &QCheckBox::toggled, this, &CodecConfigWidgetJPEG2000::UpdateConfig);
    connect(mpLimitGroup, &QButtonGroup::buttonClicked, this, &CodecConfigWidgetJPEG2000::UpdateConfig);
    connect(mpEditLagSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetJPEG2000::UpdateConfig);
    UpdateGui();
}

void CodecConfigWidgetJPEG2000::SetConfig(const JoxCore::CodecConfigJPEG2000& rConfig)
{
    mConfig = rConfig;
    UpdateGui();
}

void CodecConfigWidgetJPEG2000::UpdateGui()
{
    SetValueSilently(mpBitRateSpin, mConfig.GetConstantBitRate());
    SetCheckedSilently(mpTransformCheck, mConfig.GetTransform());
    SetValueSilently(mpEditLagSpin, mConfig.GetEditLag());
    {
        const QSignalBlocker groupBlocker(mpLimitGroup);
        const bool noLimit = mConfig.GetConstantNoLimit();
        SetCheckedSilently(noLimit ? static_cast<QAbstractButton*>(mpNoLimitButton) : mpLimitedButton, true);
    }
    mpBitRateSpin->setEnabled(!mpNoLimitButton->isChecked());
}

void CodecConfigWidgetJPEG2000::UpdateConfig()
{
    const QObject* pEdited = sender();
    if (IsEditOf(pEdited, {mpBitRateSpin}))
        mConfig.SetConstantBitRate(mpBitRateSpin->value());
    if (IsEditOf(pEdited, {mpTransformCheck}))
        mConfig.SetTransform(mpTransformCheck->isChecked());
    if (IsEditOf(pEdited, {mpLimitGroup}))
        mConfig.SetConstantNoLimit(mpNoLimitButton->isChecked());
    if (IsEditOf(pEdited, {mpEditLagSpin}))
        mConfig.SetEditLag(mpEditLagSpin->value());
    UpdateGui();
}

} // namespace JoxGui
