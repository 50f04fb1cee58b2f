#pragma once

#include <joxgui/ParameterWidget.h>

class QLineEdit;
class QPushButton;

namespace JoxGui {

// A file path parameter: the path and a browse button that opens a file
// dialog on it.
class ParameterWidgetPathSelection : public ParameterWidget
{
    Q_OBJECT

public:
    ParameterWidgetPathSelection(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter,
                                 QWidget* pParent = nullptr);

    QLineEdit* GetLineEdit() const;
    QPushButton* GetBrowseButton() const;
    void UpdateFromParameter() override;

private slots:
    void ButtonBrowseClicked();

private:
    QLineEdit* mpLineEdit;
    QPushButton* mpBrowseButton;
};

} // namespace JoxGui
