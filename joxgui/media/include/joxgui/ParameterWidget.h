#pragma once

#include <joxraw/ParameterInterface.h>

#include <QVariant>
#include <QWidget>

namespace JoxGui {

// Shows one parameter of the raw parameter library and reports edits as
// signals. The parameter object may be null.
class ParameterWidget : public QWidget
{
    Q_OBJECT

public:
    ParameterWidget(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent = nullptr);

    JoxRaw::Pid GetPid() const;
    JoxRaw::ParameterInterface* GetParameter() const;
    // Shows the parameter object's value and facade. The facade hides the
    // widget or shows it within its parent; a widget without a parent is
    // never opened as a window by it, only brought back when it hid it.
    virtual void UpdateFromParameter();

signals:
    void ValueChanged(JoxRaw::Pid pid, const QVariant& rValue);
    void StateChanged(JoxRaw::Pid pid, const JoxRaw::ParameterFacade& rFacade);

protected:
    // Applies the facade's visibility as UpdateFromParameter describes.
    void ShowFacadeVisibility(bool visible);

    JoxRaw::Pid mPid;
    JoxRaw::ParameterInterface* mpParameter;

private:
    bool mWindowHiddenByFacade = false;
};

} // namespace JoxGui
