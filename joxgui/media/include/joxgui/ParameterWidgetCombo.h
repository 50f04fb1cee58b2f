#pragma once

#include <joxgui/ParameterWidget.h>

class QComboBox;

namespace JoxGui {

// A parameter chosen from a combo box; each item's user data is its value.
class ParameterWidgetCombo : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetCombo(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent = nullptr);

    QComboBox* GetComboBox() const;
    void UpdateFromParameter() override;

private slots:
    void SelectionChanged(int index);

private:
    QComboBox* mpComboBox;
};

} // namespace JoxGui
