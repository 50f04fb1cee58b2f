#include <joxgui/CodecWidgetHelpers.h>

#include <QComboBox>
#include <QIcon>
#include <QSignalBlocker>
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

} // namespace JoxGui
