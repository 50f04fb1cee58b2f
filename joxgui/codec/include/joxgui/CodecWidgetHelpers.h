#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecRange.h>

#include <QString>
#include <QtGlobal>

#include <initializer_list>

class QComboBox;
class QDoubleSpinBox;
class QObject;
class QSlider;
class QSpinBox;
class QWidget;

namespace JoxGui {

// Units of a bit-rate slider and spin box pair, each a count of one base
// unit (the smallest of them): a stored rate, a slider step and a spin box
// unit.
struct RateScale
{
    qint64 stored = 1;
    qint64 sliderStep = 1;
    double spinUnit = 1.0;
};

// Gives pControl the object name pName; returns pControl.
template <typename Control>
Control* Named(Control* pControl, const char* pName)
{
    pControl->setObjectName(QLatin1String(pName));
    return pControl;
}

// Refills pCombo from rList (signals blocked; the value as item data in the
// user role) and selects the item of value, or the first item when none has it.
void FillCodecCombo(QComboBox* pCombo, const JoxCore::CodecChoiceList& rList, int value);
// The current item's data as int; 0 when it is not convertible.
int CodecComboValue(const QComboBox* pCombo);
// value x numerator / denominator in 64 bits, rounded to the nearest integer
// and limited to the int range.
int ScaleRounded(qint64 value, qint64 numerator, qint64 denominator);
// True when an edit of pEdited concerns one of controls: pEdited is one of
// them, or null (no single control: every control counts).
bool IsEditOf(const QObject* pEdited, std::initializer_list<const QObject*> controls);
// Enables every widget of widgets.
void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled);

// A spin box for rates in Mbit/s with the given decimals, reporting only
// finished edits.
QDoubleSpinBox* NewRateSpin(const char* pName, int decimals);
// Shows rRange and the stored rate on the pair, signals blocked.
void ShowRate(QSlider* pSlider, QDoubleSpinBox* pSpin, const JoxCore::CodecRange& rRange, int stored,
              const RateScale& rScale);
// Sets the spin box from the slider, signals blocked.
void RateSpinFromSlider(QDoubleSpinBox* pSpin, const QSlider* pSlider, const RateScale& rScale);
// Sets the slider to the step nearest to the spin box, signals blocked.
void RateSliderFromSpin(QSlider* pSlider, const QDoubleSpinBox* pSpin, const RateScale& rScale);
// The slider's rate in stored units.
int StoredRate(const QSlider* pSlider, const RateScale& rScale);
// Sets the spin box's range and value, signals blocked.
void ShowCount(QSpinBox* pSpin, const JoxCore::CodecRange& rRange, int value);

} // namespace JoxGui
