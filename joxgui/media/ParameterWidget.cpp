#include <joxgui/ParameterWidget.h>

namespace JoxGui {

ParameterWidget::ParameterWidget(JoxRaw::Pid pid, JoxRaw::ParameterInterface* pParameter, QWidget* pParent)
    : QWidget(pParent)
    , mPid(pid)
    , mpParameter(pParameter)
{
}

JoxRaw::Pid ParameterWidget::GetPid() const
{
    return mPid;
}

JoxRaw::ParameterInterface* ParameterWidget::GetParameter() const
{
    return mpParameter;
}

void ParameterWidget::UpdateFromParameter()
{
    if (mpParameter == nullptr)
        return;
    const JoxRaw::ParameterFacade facade = mpParameter->GetFacade();
    setEnabled(facade.IsEnabled() && !facade.IsReadOnly());
    ShowFacadeVisibility(facade.IsVisible());
}

void ParameterWidget::ShowFacadeVisibility(bool visible)
{
    if (!isWindow()) {
        mWindowHiddenByFacade = false;
        setVisible(visible);
    } else if (!visible) {
        mWindowHiddenByFacade = mWindowHiddenByFacade || isVisible();
        hide();
    } else if (mWindowHiddenByFacade) {
        mWindowHiddenByFacade = false;
        show();
    }
}

} // namespace JoxGui
