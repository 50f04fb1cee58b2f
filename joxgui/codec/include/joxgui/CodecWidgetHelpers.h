#pragma once

#include <joxcore/CodecChoice.h>

#include <QtGlobal>

#include <initializer_list>

class QComboBox;
class QObject;
class QWidget;

namespace JoxGui {

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

} // namespace JoxGui
