#include <joxgui/CodecWidgetHelpers.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QIcon>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace JoxGui {

void FillCodecCombo(QComboBox* pCombo, const JoxCore::CodecChoiceList& rList, int value)
{
    const QSignalBlocker blocker(pCombo);
    pCombo->clear();
    for (const JoxCore::CodecChoice& rChoice : rList)
        pCombo->addItem(QIcon(), rChoice.text, rChoice.value);
    const int index = pCombo->findData(value);
    pCombo->setCurrentIndex(index >= 0 ? index : 0);
}

int CodecComboValue(const QComboBox* pCombo)
{
    bool ok = false;
    const int value = pCombo->currentData().toInt(&ok);
    return ok ? value : 0;
}

int ScaleRounded(qint64 value, qint64 numerator, qint64 denominator)
{
    const long double scaled = std::round(static_cast<long double>(value) * numerator / denominator);
    return static_cast<int>(std::clamp<long double>(scaled, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
}

bool IsEditOf(const QObject* pEdited, std::initializer_list<const QObject*> controls)
{
    return !pEdited || std::find(controls.begin(), controls.end(), pEdited) != controls.end();
}

void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* pWidget : widgets) {
        if (pWidget)
            pWidget->setEnabled(enabled);
    }
}

QDoubleSpinBox* NewRateSpin(const char* pName, int decimals)
{
    QDoubleSpinBox* pSpin = Named(new QDoubleSpinBox, pName);
    pSpin->setDecimals(decimals);
    pSpin->setKeyboardTracking(false);
    pSpin->setSuffix(QStringLiteral(" Mbit/s"));
    return pSpin;
}

void ShowRate(QSlider* pSlider, QDoubleSpinBox* pSpin, const JoxCore::CodecRange& rRange, int stored,
              const RateScale& rScale)
{
    const QSignalBlocker sliderBlocker(pSlider);
    const QSignalBlocker spinBlocker(pSpin);
    pSlider->setRange(ScaleRounded(rRange.minimum, rScale.stored, rScale.sliderStep),
                      ScaleRounded(rRange.maximum, rScale.stored, rScale.sliderStep));
    pSlider->setValue(ScaleRounded(stored, rScale.stored, rScale.sliderStep));
    pSpin->setRange(rRange.minimum * rScale.stored / rScale.spinUnit, rRange.maximum * rScale.stored / rScale.spinUnit);
    pSpin->setValue(stored * rScale.stored / rScale.spinUnit);
}

void RateSpinFromSlider(QDoubleSpinBox* pSpin, const QSlider* pSlider, const RateScale& rScale)
{
    const QSignalBlocker blocker(pSpin);
    pSpin->setValue(pSlider->value() * rScale.sliderStep / rScale.spinUnit);
}

void RateSliderFromSpin(QSlider* pSlider, const QDoubleSpinBox* pSpin, const RateScale& rScale)
{
    const QSignalBlocker blocker(pSlider);
    pSlider->setValue(ScaleRounded(qRound64(pSpin->value() * rScale.spinUnit), 1, rScale.sliderStep));
}

int StoredRate(const QSlider* pSlider, const RateScale& rScale)
{
    return ScaleRounded(pSlider->value(), rScale.sliderStep, rScale.stored);
}

void ShowCount(QSpinBox* pSpin, const JoxCore::CodecRange& rRange, int value)
{
    const QSignalBlocker blocker(pSpin);
    pSpin->setRange(rRange.minimum, rRange.maximum);
    pSpin->setValue(value);
}

} // namespace JoxGui
