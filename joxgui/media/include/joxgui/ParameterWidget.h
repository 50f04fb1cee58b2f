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
    // Shows the parameter object's value and facade.
    virtual void UpdateFromParameter();

signals:
    void ValueChanged(JoxRaw::Pid pid, const QVariant& rValue);
    void StateChanged(JoxRaw::Pid pid, const JoxRaw::ParameterFacade& rFacade);

protected:
    JoxRaw::Pid mPid;
    JoxRaw::ParameterInterface* mpParameter;
};

} // namespace JoxGui
