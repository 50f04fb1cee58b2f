#pragma once

#include <joxraw/ParameterFacade.h>

#include <QString>
#include <QVariant>

namespace JoxRaw {

// A parameter's identifier.
typedef int Pid;

// One parameter of the raw parameter library: its identifier, value and
// facade; it renders a value as text.
class ParameterInterface
{
public:
    explicit ParameterInterface(Pid pid, const QVariant& rValue = QVariant());
    virtual ~ParameterInterface();
    ParameterInterface(const ParameterInterface&) = delete;
    ParameterInterface& operator=(const ParameterInterface&) = delete;

    Pid GetPid() const;
    QVariant GetValue() const;
    virtual void SetValue(const QVariant& rValue);
    // The value as text; the base uses QVariant's own conversion.
    virtual QString ValueToText(const QVariant& rValue) const;
    ParameterFacade GetFacade() const;
    void SetFacade(const ParameterFacade& rFacade);

private:
    Pid mPid;
    QVariant mValue;
    ParameterFacade mFacade;
};

} // namespace JoxRaw
