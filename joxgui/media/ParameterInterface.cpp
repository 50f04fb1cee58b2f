#include <joxraw/ParameterInterface.h>

namespace JoxRaw {

ParameterInterface::ParameterInterface(Pid pid, const QVariant& rValue)
    : mPid(pid)
    , mValue(rValue)
{
}

ParameterInterface::~ParameterInterface() = default;

Pid ParameterInterface::GetPid() const
{
    return mPid;
}

QVariant ParameterInterface::GetValue() const
{
    return mValue;
}

void ParameterInterface::SetValue(const QVariant& rValue)
{
    mValue = rValue;
}

QString ParameterInterface::ValueToText(const QVariant& rValue) const
{
    return rValue.toString();
}

ParameterFacade ParameterInterface::GetFacade() const
{
    return mFacade;
}

void ParameterInterface::SetFacade(const ParameterFacade& rFacade)
{
    mFacade = rFacade;
}

} // namespace JoxRaw
